// Guards against the sanitizer build's leak check crashing at exit ("Tracer
// caught signal 11") whenever a thread-local block that the C library took from
// malloc, for a library loaded at run time, lies 16 bytes past a page boundary.
//
// The __tls_get_addr interceptor of GCC 12's sanitizer runtime takes such a
// block for one laid out as glibc 2.19 did, reads the 16 bytes before it as that
// layout's header (size, start) and records that range for the exit check.
// Those bytes are the allocator's own chunk header, so the exit check scans a
// range from a meaningless address and faults. Where the block lands depends on
// every earlier allocation of the thread, so the program and its tests met it
// now and then (the JPEG decoder's block, in the main thread). The test options
// turn the interceptor off (intercept_tls_get_addr=0): the exit check still sees
// the block, as a chunk the dynamic linker allocated, and what it points to.
//
// Each attempt is a child process that allocates one more chunk of the block's
// size than the last before it loads the library, until one places the block at
// that offset; that child must then exit cleanly, leak check and all.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kNotPlaced = 3;
constexpr int kMostAttempts = 1024;
constexpr std::uintptr_t kPageSize = 4096;
constexpr std::uintptr_t kMisreadOffset = 16;

// Kept reachable, so that the leak check has nothing to report.
void* fillers[kMostAttempts];

// Returns from main (so the leak check runs) only when the block lies at the
// offset the interceptor misreads; otherwise leaves at once.
int placeBlockAfter(int fillerCount, const char* library)
{
    for (int i = 0; i < fillerCount; ++i)
        fillers[i] = std::malloc(sizeof(long));
    void* handle = dlopen(library, RTLD_NOW);
    if (!handle) {
        std::fprintf(stderr, "cannot load %s: %s\n", library, dlerror());
        std::_Exit(EXIT_FAILURE);
    }
    const auto threadSlot = reinterpret_cast<long* (*)()>(dlsym(handle, "threadSlot"));
    const auto block = reinterpret_cast<std::uintptr_t>(threadSlot());
    if (block % kPageSize != kMisreadOffset)
        std::_Exit(kNotPlaced);
    std::printf("the block lies at %#zx, after %d chunks of its size\n", static_cast<std::size_t>(block), fillerCount);
    std::fflush(stdout);
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LIBRARY\n", argv[0]);
        return EXIT_FAILURE;
    }
    for (int fillerCount = 0; fillerCount < kMostAttempts; ++fillerCount) {
        const pid_t child = fork();
        if (child == 0)
            return placeBlockAfter(fillerCount, argv[1]);
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child) {
            std::perror("fork");
            return EXIT_FAILURE;
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) == kNotPlaced)
            continue;
        if (WIFEXITED(status) && WEXITSTATUS(status) == EXIT_SUCCESS)
            return EXIT_SUCCESS;
        if (WIFSIGNALED(status))
            std::fprintf(stderr, "FAIL: the process ended on signal %d at exit\n", WTERMSIG(status));
        else
            std::fprintf(stderr, "FAIL: the process exited with status %d\n", WEXITSTATUS(status));
        return EXIT_FAILURE;
    }
    std::fprintf(stderr, "FAIL: no attempt placed the block %zu bytes past a page boundary\n",
                 static_cast<std::size_t>(kMisreadOffset));
    return EXIT_FAILURE;
}
