// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/path.h"

#include <gtest/gtest.h>

namespace kadrix {
namespace {

TEST(JoinPath, PutsOneSeparatorBetweenFolderAndName) {
    EXPECT_EQ(joinPath("/tmp/shots", "Pic000001.bmp"), "/tmp/shots/Pic000001.bmp");
    EXPECT_EQ(joinPath("/", "Pic000001.bmp"), "/Pic000001.bmp");
    EXPECT_EQ(joinPath("/tmp/shots/", "a"), "/tmp/shots/a");
    EXPECT_EQ(joinPath("", "a"), "/a");
}

TEST(ReplaceExtension, ReplacesOnlyTheLastExtensionOfTheLastComponent) {
    struct Case {
        const char* path;
        const char* extension;
        const char* expected;
    };
    const Case cases[] = {
        {"Pic000001.bmp", ".jpg", "Pic000001.jpg"},
        {"a.b.bmp", ".jpg", "a.b.jpg"},
        {"noextension", ".ico", "noextension.ico"},
        {"/home/u/dir.with.dots/name", ".emf", "/home/u/dir.with.dots/name.emf"},
        {"/home/u/dir.d/pic.bmp", ".emf", "/home/u/dir.d/pic.emf"},
        {"trailingdot.", ".jpg", "trailingdot.jpg"},
        {".hidden", ".jpg", ".jpg"},
        {"/tmp/Снимок.bmp", ".JPG", "/tmp/Снимок.JPG"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(replaceExtension(c.path, c.extension), c.expected) << c.path;
}

} // namespace
} // namespace kadrix
