// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a program on the current X display and times, from the moment it is
// started, what the user waits for:
//   map   the first window mapped (the first MapNotify among the root's
//         children, the window manager's frame included);
//   tray  the first window mapped, then hidden (an UnmapNotify) with an icon
//         docked into the notification area (a window taken from the root
//         into another parent);
//   exit  the program's end.
// Also reads the processor time the program's threads had used by then,
// which a busy machine disturbs less than the time on the clock. With
// --rss MS it then waits MS milliseconds and reads the program's resident
// memory. Prints "ms=... cpu_ms=... rss_kb=..." on one line and ends the
// program (SIGTERM) unless it ended by itself.
//   map_watcher map|tray|exit [--rss MS] -- PROGRAM [ARGS...]
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The processor time of all the program's threads, from the scheduler's
// nanosecond counts.
double cpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    struct CloseDir {
        void operator()(DIR* dir) const { ::closedir(dir); }
    };
    std::unique_ptr<DIR, CloseDir> dir(::opendir(tasks.c_str()));
    if (!dir)
        return -1;
    double total = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
        double nanoseconds = 0;
        if (schedstat >> nanoseconds)
            total += nanoseconds;
    }
    return total / 1e6;
}

int usage() {
    std::fprintf(stderr, "usage: map_watcher map|tray|exit [--rss MS] -- PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return usage();
    const std::string mode = argv[1];
    int rssDelay = -1;
    int arg = 2;
    if (std::strcmp(argv[arg], "--rss") == 0 && arg + 1 < argc) {
        rssDelay = std::atoi(argv[arg + 1]);
        arg += 2;
    }
    if (arg >= argc || std::strcmp(argv[arg], "--") != 0 || arg + 1 >= argc)
        return usage();
    char** program = argv + arg + 1;

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "map_watcher: cannot open the display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    // Checked, so that the selection is in force before the program starts.
    if (std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error{
            xcb_request_check(connection, xcb_change_window_attributes_checked(
                                              connection, root, XCB_CW_EVENT_MASK, &events)),
            &std::free}) {
        std::fprintf(stderr, "map_watcher: cannot watch the root window\n");
        return 1;
    }

    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(program[0], program);
        std::perror(program[0]);
        ::_exit(127);
    }

    bool mapped = false, unmapped = false, docked = false, ended = false;
    Clock::time_point at{};
    double cpu = -1;
    const int fd = xcb_get_file_descriptor(connection);
    for (;;) {
        if (mode == "exit" || ::waitpid(pid, nullptr, WNOHANG) == pid) {
            if (mode != "exit") {
                std::fprintf(stderr, "map_watcher: the program ended first\n");
                return 1;
            }
            // The processor time of a program that ended, from the kernel's
            // account of its waited-for children.
            int status = 0;
            rusage usage{};
            ::wait4(pid, &status, 0, &usage);
            at = Clock::now();
            cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
            ended = true;
            break;
        }
        pollfd ready{fd, POLLIN, 0};
        ::poll(&ready, 1, 20);
        while (std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event{
            xcb_poll_for_event(connection), &std::free}) {
            switch (event->response_type & 0x7f) {
            case XCB_MAP_NOTIFY:
                if (!reinterpret_cast<xcb_map_notify_event_t*>(event.get())->override_redirect)
                    mapped = true;
                break;
            case XCB_UNMAP_NOTIFY:
                unmapped = unmapped || mapped;
                break;
            case XCB_REPARENT_NOTIFY:
                docked =
                    docked ||
                    (mapped &&
                     reinterpret_cast<xcb_reparent_notify_event_t*>(event.get())->parent != root);
                break;
            default:
                break;
            }
        }
        if ((mode == "map" && mapped) || (mode == "tray" && unmapped && docked)) {
            at = Clock::now();
            cpu = cpuMs(pid);
            break;
        }
        if (Clock::now() - start > std::chrono::seconds(30)) {
            std::fprintf(stderr, "map_watcher: nothing happened in 30 s\n");
            ::kill(pid, SIGKILL);
            return 1;
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(at - start).count();
    long rss = -1;
    if (!ended && rssDelay >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(rssDelay));
        rss = residentKb(pid);
    }
    if (!ended) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    std::printf("ms=%.2f cpu_ms=%.2f rss_kb=%ld\n", ms, cpu, rss);
    xcb_disconnect(connection);
    return 0;
}
