// SPDX-License-Identifier: GPL-3.0-or-later
// kadrix-tool avi end to end: the clip read by ffprobe, the exit status and
// the message of each kind of failure.
#include "tests/support/avi_test_support.h"
#include "tests/support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace kadrix {
namespace {

struct Outcome {
    int status = -1;
    std::string output; // standard output and error
};

Outcome runTool(const std::string& arguments, const std::string& prefix = "") {
    const std::string command = prefix + test::quoted(KADRIX_TOOL) + " avi " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run: " + command);
    Outcome outcome;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        outcome.output.append(chunk, n);
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

class AviToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 2; ++i) {
            frames_.push_back(path("Fr00000" + std::to_string(i + 1) + ".bmp"));
            test::writeFile(frames_.back(), test::makeFrame(6, 4, 32, i + 1).file);
        }
    }
    std::string path(const std::string& name) const { return (dir_.path() / name).string(); }
    std::string frameArguments() const {
        return test::quoted(frames_[0]) + " " + test::quoted(frames_[1]);
    }

    test::TempDir dir_{"kadrix-avi-tool-test"};
    std::vector<std::string> frames_;
};

TEST_F(AviToolTest, WritesTheClipAtTheGivenRate) {
    const std::string clip = path("Vid000001.avi");
    const Outcome outcome = runTool("25 " + test::quoted(clip) + " " + frameArguments());
    ASSERT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_EQ(outcome.output, "");
    const test::ClipInfo info = test::probeClip(clip);
    EXPECT_EQ(info.packets, 2);
    EXPECT_EQ(info.rate, "25/1");
}

TEST_F(AviToolTest, WrongArgumentsShowTheUsage) {
    const std::string clip = test::quoted(path("Vid000001.avi"));
    const std::string frame = test::quoted(frames_[0]);
    for (const std::string& arguments : std::vector<std::string>{
             "", "10", "10 " + clip, "0 " + clip + " " + frame, "-5 " + clip + " " + frame,
             "ten " + clip + " " + frame, "10x " + clip + " " + frame}) {
        const Outcome outcome = runTool(arguments);
        EXPECT_EQ(outcome.status, 2) << arguments;
        EXPECT_TRUE(outcome.output.starts_with("kadrix-tool avi: ")) << outcome.output;
        EXPECT_TRUE(
            outcome.output.ends_with("\nusage: kadrix-tool avi RATE OUT.avi FRAME.bmp...\n"))
            << arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(path("Vid000001.avi")));
}

TEST_F(AviToolTest, FailuresAreReportedWithTheirMessage) {
    const std::string clip = path("Vid000001.avi");
    const std::string missing = path("Fr000009.bmp");
    const Outcome unreadable =
        runTool("10 " + test::quoted(clip) + " " + frameArguments() + " " + test::quoted(missing));
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_EQ(unreadable.output,
              "kadrix-tool avi: Cannot open file \"" + missing + "\". No such file or directory\n");

    // Files of the shell's children may grow to 512 bytes; beyond, writes
    // fail. The clip of the frames before the missing one stays as it was.
    const std::vector<std::byte> older = test::readFile(clip);
    const Outcome unwritable =
        runTool("10 " + test::quoted(clip) + " " + frameArguments(), "trap '' XFSZ; ulimit -f 1; ");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.output,
              "kadrix-tool avi: Error during Write AVI File\nCannot write file \"" + clip +
                  "\". File too large\n");
    EXPECT_EQ(test::readFile(clip), older);
}

} // namespace
} // namespace kadrix
