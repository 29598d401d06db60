// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/naming/output_name.h"

#include <gtest/gtest.h>

namespace kadrix {
namespace {

TEST(OutputName, PadsToSixDigitsAndNeverCuts) {
    EXPECT_EQ(counterDigits(1), "000001");
    EXPECT_EQ(counterDigits(123456), "123456");
    EXPECT_EQ(counterDigits(1234567), "1234567");
    EXPECT_EQ(counterDigits(2147483647), "2147483647");
}

TEST(OutputName, EachKindHasItsPrefixAndExtension) {
    struct Case {
        OutputKind kind;
        std::int32_t counter;
        const char* folder;
        const char* expected;
    };
    const Case cases[] = {
        {OutputKind::Picture, 1, "/tmp/shots", "/tmp/shots/Pic000001.bmp"},
        {OutputKind::Frame, 42, "/tmp/shots", "/tmp/shots/Fr000042.bmp"},
        {OutputKind::Video, 1000000, "/tmp/shots", "/tmp/shots/Vid1000000.avi"},
        {OutputKind::Sound, 12, "/", "/ZVUK000012.wav"},
        {OutputKind::Picture, 1, "/", "/Pic000001.bmp"},
        {OutputKind::Picture, 3, "/home/user/Снимки экрана",
         "/home/user/Снимки экрана/Pic000003.bmp"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(outputPath(c.kind, c.counter, c.folder), c.expected);
}

} // namespace
} // namespace kadrix
