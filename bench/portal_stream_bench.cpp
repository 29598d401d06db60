// SPDX-License-Identifier: GPL-3.0-or-later
// The portal's screen stream, received while nothing changes on the screen:
// the processor time of the thread that receives it, as a share of one core,
// against the sender's thread. Run under scripts/portal-session by
// bench/portal_stream.sh.
//   portal_stream_bench SECONDS
#include "platform/linux/screen_capture_choice.h"
#include "tests/platform/test_video_source.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

// The processor time of this process's threads of a name, in seconds, to the
// nanosecond (the scheduler's count, not the clock ticks of stat).
double threadSeconds(const std::string& name) {
    double seconds = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream comm(task.path() / "comm");
        std::string taskName;
        std::getline(comm, taskName);
        if (taskName != name)
            continue;
        std::ifstream schedstat(task.path() / "schedstat");
        double nanoseconds = 0;
        schedstat >> nanoseconds;
        seconds += nanoseconds / 1e9;
    }
    return seconds;
}

struct Share {
    double receiver = 0;
    double sender = 0;
};

Share measure(int seconds) {
    const double receiver = threadSeconds("kadrix-screenca");
    const double sender = threadSeconds("test-source");
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return {(threadSeconds("kadrix-screenca") - receiver) * 100 / seconds,
            (threadSeconds("test-source") - sender) * 100 / seconds};
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const char* control = std::getenv("KADRIX_PORTAL_CONTROL");
    if (!control) {
        std::cerr << "run under scripts/portal-session\n";
        return 2;
    }
    kadrix::test::TestVideoSource source(1920, 1080, kadrix::test::TestVideoSource::Order::Bgrx);
    std::ofstream(std::string(control) + "/streams") << source.node() << " 0 0 1920 1080\n";
    kadrix::ScreenCaptureChoice choice =
        kadrix::chooseScreenCapture(kadrix::currentSessionEnvironment());
    choice.grabber->grab({0, 0, 1920, 1080});

    // A desktop that sends a picture only when the screen changes.
    source.setSending(false);
    const Share still = measure(seconds);
    // One that sends the unchanged picture anyway, 30 times a second.
    source.setSending(true);
    const Share resent = measure(seconds);
    choice.grabber->grab({0, 0, 1920, 1080});

    std::printf("%-44s %10s %10s\n", "screen unchanged, 1920 x 1080 BGRx", "receiver", "sender");
    std::printf("%-44s %9.2f%% %9.2f%%\n", "nothing sent (a damage-tracking desktop)",
                still.receiver, still.sender);
    std::printf("%-44s %9.2f%% %9.2f%%\n", "the same picture sent 30 times a second",
                resent.receiver, resent.sender);
    std::printf("goal: the receiver under 2%% of one core\n");
    return 0;
}
