// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/error.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

TEST(ErrorReportText, AppendsAFullStopAfterLettersAndDigitsOnly) {
    EXPECT_EQ(errorReportText("Stream write error"), "Stream write error.");
    EXPECT_EQ(errorReportText("code 5"), "code 5.");
    EXPECT_EQ(errorReportText("Ошибка"), "Ошибка.");
    EXPECT_EQ(errorReportText("Done."), "Done.");
    EXPECT_EQ(errorReportText("Really!"), "Really!");
    EXPECT_EQ(errorReportText("path \"a\""), "path \"a\"");
    EXPECT_EQ(errorReportText("ends with a slash /"), "ends with a slash /.");
    EXPECT_EQ(errorReportText(""), "");
}

TEST(SystemError, NamesWhatFailedThePathAndTheReason) {
    const Error error = systemError("Cannot create file", "/no/such/Pic000001.bmp", ENOENT);
    EXPECT_STREQ(error.what(),
                 "Cannot create file \"/no/such/Pic000001.bmp\". No such file or directory");
}

} // namespace
} // namespace kadrix
