// SPDX-License-Identifier: GPL-3.0-or-later
// The program's command line, through the built program with no display at
// all: the usage and the version are answered before a display is looked for
// (or the lock taken), and what the program does not take is refused in one
// line with status 2.
#include "tests/support/program_copy.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace kadrix {
namespace {

TEST(CommandLine, HelpAndVersionAnswerWithoutADisplayAndOtherArgumentsAreRefused) {
    test::ProgramCopy program{"kadrix-command-line"};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(name);

    const struct {
        QStringList arguments;
        int status;
        std::string outStart; // what standard output begins with
        std::string errPart;  // what the one line of standard error contains
    } cases[] = {
        {{"--version"}, 0, "kadrix " KADRIX_VERSION "\n", ""},
        {{"--help"}, 0, "usage: kadrix\n", ""},
        {{"-h"}, 0, "usage: kadrix\n", ""},
        {{"--bogus"}, 2, "", "'--bogus'"},
        {{"--version", "-x"}, 2, "", "'-x'"},
        {{"picture.bmp"}, 2, "", "'picture.bmp'"},
    };
    for (const auto& [arguments, status, outStart, errPart] : cases) {
        const std::string said = arguments.join(' ').toStdString();
        QProcess& process = program.start(environment, {}, arguments);
        ASSERT_TRUE(process.waitForFinished(10000)) << said << ": it does not end";
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << said;
        EXPECT_EQ(process.exitCode(), status) << said;
        const std::string out = process.readAllStandardOutput().toStdString();
        const std::string err = process.readAllStandardError().toStdString();
        if (outStart.empty()) {
            EXPECT_EQ(out, "") << said;
        } else {
            EXPECT_TRUE(out.starts_with(outStart)) << said << ": " << out;
        }
        if (errPart.empty()) {
            EXPECT_EQ(err, "") << said;
        } else {
            EXPECT_NE(err.find(errPart), std::string::npos) << said << ": " << err;
            EXPECT_EQ(err.find('\n'), err.size() - 1) << said << ": one line, " << err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(program.lockPath())) << "the lock was taken";
}

} // namespace
} // namespace kadrix
