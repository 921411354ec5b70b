// Starts a program under an X server and measures its start from the
// server's side: the time from exec to its window being mapped and to the
// first drawing into that window, and the process's peak resident memory.
//
//   startup_probe [--settle-ms N] PROGRAM [ARGUMENTS...]
//
// Watches the root window for new top-level windows (no window manager is
// expected, so they are the root's children), puts a DAMAGE object on each
// as it is created, and takes the first damage report after the window is
// mapped as its first paint.  Then lets the program settle for N ms (500 by
// default), reads its peak resident set (VmHWM) and ends it with SIGTERM.
// Prints one line: "map_ms=... paint_ms=... peak_rss_kb=...".
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "startup_probe: %s\n", what);
    std::exit(2);
}

// The process's peak resident set in KiB, from /proc, or -1.
long peak_rss_kb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    int arg = 1;
    long settle_ms = 500;
    if (arg + 1 < argc && std::strcmp(argv[arg], "--settle-ms") == 0) {
        settle_ms = std::strtol(argv[arg + 1], nullptr, 10);
        arg += 2;
    }
    if (arg >= argc)
        fail("usage: startup_probe [--settle-ms N] PROGRAM [ARGUMENTS...]");

    int screen_number = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen_number);
    if (xcb_connection_has_error(c))
        fail("cannot connect to the X server named by DISPLAY");
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (damage == nullptr || !damage->present)
        fail("the X server has no DAMAGE extension");
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const std::uint8_t damage_notify = static_cast<std::uint8_t>(damage->first_event + XCB_DAMAGE_NOTIFY);

    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen_number; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t* e =
            xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask))) {
        free(e);
        fail("cannot watch the root window");
    }

    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        fail("fork failed");
    if (pid == 0) {
        execvp(argv[arg], argv + arg);
        std::fprintf(stderr, "startup_probe: cannot start %s: %s\n", argv[arg], std::strerror(errno));
        _exit(127);
    }

    double map_ms = -1, paint_ms = -1;
    xcb_window_t mapped = XCB_NONE;
    const Clock::time_point deadline = start + std::chrono::seconds(20);
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (paint_ms < 0) {
        xcb_generic_event_t* event = xcb_poll_for_event(c);
        if (event == nullptr) {
            if (xcb_connection_has_error(c))
                fail("lost the X server");
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                fail("the program ended before its window was painted");
            if (Clock::now() > deadline) {
                kill(pid, SIGKILL);
                fail("no window was painted within 20 s");
            }
            poll(&fd, 1, 50);
            continue;
        }
        const std::uint8_t type = event->response_type & 0x7F;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* e = reinterpret_cast<const xcb_create_notify_event_t*>(event);
            if (e->parent == root) {
                xcb_damage_create(c, xcb_generate_id(c), e->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(c);
            }
        } else if (type == XCB_MAP_NOTIFY) {
            const auto* e = reinterpret_cast<const xcb_map_notify_event_t*>(event);
            if (mapped == XCB_NONE && e->event == root) {
                mapped = e->window;
                map_ms = ms_since(start);
            }
        } else if (type == damage_notify) {
            const auto* e = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
            if (mapped != XCB_NONE && e->drawable == mapped)
                paint_ms = ms_since(start);
        }
        // Errors (type 0), for instance a DAMAGE object refused on an
        // input-only window, do not matter here.
        free(event);
    }

    std::this_thread::sleep_for(std::chrono::milliseconds(settle_ms));
    const long hwm = peak_rss_kb(pid);
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    xcb_disconnect(c);
    std::printf("map_ms=%.2f paint_ms=%.2f peak_rss_kb=%ld\n", map_ms, paint_ms,
                hwm > 0 ? hwm : usage.ru_maxrss);
    return 0;
}
