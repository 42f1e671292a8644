// Preloaded into a program (LD_PRELOAD) so that it ends as soon as its first
// picture reaches the X server: the backing store's first flush, from the
// first expose, is the first image put. Under callgrind this counts the
// instructions from exec to the first paint, and nothing after.
#include <xcb/xcb.h>

#include <cstdint>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// The real function, from the library that holds it: Qt's X11 plugin and the
// libraries it needs are opened local to it, out of RTLD_NEXT's reach.
template <typename Function> Function* real(const char* library, const char* name)
{
    return reinterpret_cast<Function*>(dlsym(dlopen(library, RTLD_NOW | RTLD_NOLOAD), name));
}

[[noreturn]] void endAfter(xcb_connection_t* connection)
{
    xcb_flush(connection);
    _exit(0);
}

} // namespace

extern "C" {

// Declared here: the program, not this library, links libxcb-shm.
using ShmPutImage = xcb_void_cookie_t(xcb_connection_t*, xcb_drawable_t, xcb_gcontext_t, uint16_t, uint16_t, uint16_t,
                                      uint16_t, uint16_t, uint16_t, int16_t, int16_t, uint8_t, uint8_t, uint8_t,
                                      uint32_t, uint32_t);

xcb_void_cookie_t xcb_shm_put_image(xcb_connection_t* c, xcb_drawable_t drawable, xcb_gcontext_t gc,
                                    uint16_t totalWidth, uint16_t totalHeight, uint16_t srcX, uint16_t srcY,
                                    uint16_t srcWidth, uint16_t srcHeight, int16_t dstX, int16_t dstY, uint8_t depth,
                                    uint8_t format, uint8_t sendEvent, uint32_t segment, uint32_t offset)
{
    real<ShmPutImage>("libxcb-shm.so.0", "xcb_shm_put_image")(c, drawable, gc, totalWidth, totalHeight, srcX, srcY,
                                                              srcWidth, srcHeight, dstX, dstY, depth, format, sendEvent,
                                                              segment, offset);
    endAfter(c);
}

xcb_void_cookie_t xcb_put_image(xcb_connection_t* c, uint8_t format, xcb_drawable_t drawable, xcb_gcontext_t gc,
                                uint16_t width, uint16_t height, int16_t dstX, int16_t dstY, uint8_t leftPad,
                                uint8_t depth, uint32_t length, const uint8_t* data)
{
    real<decltype(xcb_put_image)>("libxcb.so.1", "xcb_put_image")(c, format, drawable, gc, width, height, dstX, dstY,
                                                                  leftPad, depth, length, data);
    endAfter(c);
}
}
