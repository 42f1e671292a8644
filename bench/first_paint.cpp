// Times a program from exec to the first drawing into its top-level window
// of a given size, as the X server sees it (a Damage event), then ends it.
//
//   first_paint WIDTH HEIGHT PROGRAM [ARGS...]   prints milliseconds
//
// Run it on an X server without a window manager, so that the program's own
// window is the one created on the root.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present) {
        std::fprintf(stderr, "the X server has no Damage extension\n");
        return 2;
    }
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[3], argv + 3);
        _exit(127);
    }

    std::set<xcb_window_t> watched;
    double elapsed = -1;
    while (elapsed < 0) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_wait_for_event(connection), &std::free);
        if (!event)
            break;
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            // Watch every window of the right size from its creation on: Qt
            // draws into it only after mapping, so no drawing is missed.
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event.get());
            if (created->width == width && created->height == height) {
                xcb_damage_create(connection, xcb_generate_id(connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                watched.insert(created->window);
                xcb_flush(connection);
            }
        } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
            const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event.get());
            if (watched.count(notify->drawable))
                elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    if (elapsed < 0)
        return 1;
    std::printf("%.1f\n", elapsed);
    return 0;
}
