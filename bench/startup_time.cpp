// Start-up benchmark: from exec of the tool to its window mapped on the X display, as the
// engineer sees it appear. Runs under a display (xvfb-run); prints each run, the median and the
// fastest.
//
//   startup_time [runs, default 10] [program, default r7260-tool beside this benchmark's folder]

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from exec to the first top-level window mapped; negative when none came in 10 s.
double oneRun(xcb_connection_t *connection, xcb_window_t root, const std::string &program) {
    pid_t pid = 0;
    char *argv[] = {const_cast<char *>(program.c_str()), nullptr};
    const auto start = Clock::now();
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::perror("posix_spawn");
        return -1;
    }
    double ms = -1;
    while (Clock::now() - start < std::chrono::seconds(10)) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                break;
            struct timespec pause {
                0, 200000
            };
            nanosleep(&pause, nullptr);
            continue;
        }
        const bool mapped = (event->response_type & ~0x80) == XCB_MAP_NOTIFY &&
                            reinterpret_cast<xcb_map_notify_event_t *>(event)->event == root;
        std::free(event);
        if (mapped) {
            ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            break;
        }
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return ms;
}

} // namespace

int main(int argc, char *argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::string program = argc > 2 ? argv[2] : std::string(argv[0]);
    if (argc <= 2)
        program = program.substr(0, program.rfind('/')) + "/../app/r7260-tool";

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("startup_time: no X display (run it under xvfb-run)\n", stderr);
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = oneRun(connection, root, program);
        std::printf("run %2d: %7.1f ms\n", i + 1, ms);
        if (ms >= 0)
            times.push_back(ms);
    }
    if (times.empty())
        return 1;
    std::sort(times.begin(), times.end());
    std::printf("exec to window mapped: median %.1f ms, fastest %.1f ms (%zu runs)\n",
                times[times.size() / 2], times.front(), times.size());
    xcb_disconnect(connection);
    return 0;
}
