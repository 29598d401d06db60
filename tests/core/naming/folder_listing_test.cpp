// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/naming/folder_listing.h"

#include "core/error.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

using test::awkwardBmpFiles;
using test::awkwardSubfolders;
using test::TempDir;
using test::UnreadableFolder;

TEST(FileMask, MatchesLikeADesktopFilePicker) {
    struct Case {
        std::string_view name;
        std::string_view mask;
        bool matches;
    };
    const Case cases[] = {
        {"Pic000001.bmp", "*.bmp", true},
        {"X.BMP", "*.bmp", true},
        {"clip.Avi", "*.avi", true},
        {"ЖУК.bmp", "*.BMP", true},
        {"x.bmpx", "*.bmp", false},
        {"bmp", "*.bmp", false},
        {"x.bmp.wav", "*.bmp", false},
        {"x.wav.bmp", "*.bmp", true},
        {"no_extension", "*.*", true},
        {"a.b.c", "*.*", true},
        {"a.b.c", "*.c", true},
        {"abc", "a*c", true},
        {"ab", "a*c", false},
        {"aXbYc", "a*b*c", true},
        {"aXbY", "a*b*c", false},
        {"anything", "*", true},
        {"Pic000001.bmp", "Pic000001.bmp", true},
        {"Pic000002.bmp", "Pic000001.bmp", false},
        {"a?c", "a?c", true},
        {"abc", "a?c", false},
        {"a", "", false},
        {"", "*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(matchesMask(c.name, c.mask), c.matches) << c.name << " / " << c.mask;
}

TEST(DisplayName, EscapesWhatIsNotValidUtf8AndControlCharacters) {
    const std::pair<std::string_view, std::string> cases[] = {
        {"plain name.bmp", "plain name.bmp"},
        {"Ярлык ёж.bmp", "Ярлык ёж.bmp"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}, // a four-byte character
        {"bad\xFF.bmp", "bad\\xFF.bmp"},
        {"cut\xD0", "cut\\xD0"},                      // truncated at the end
        {"\xD0x", "\\xD0x"},                          // truncated before a letter
        {"\xC0\xAF", "\\xC0\\xAF"},                   // overlong "/"
        {"\xE0\x80\xAF", "\\xE0\\x80\\xAF"},          // overlong, three bytes
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},          // a surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"}, // above U+10FFFF
        {"\xE2\x82", "\\xE2\\x82"},                   // two of three bytes
        {"\xE2\x82\xAC\xAC", "\xE2\x82\xAC\\xAC"},    // a stray continuation byte
        {"a\nb\x7F", "a\\x0Ab\\x7F"},
        {"", ""},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(displayName(name), expected) << name;
}

TEST(DisplayCollation, FoldsCaseAndBreaksTiesByBytes) {
    const DisplayCollation collation("C.UTF-8");
    const std::pair<std::string_view, std::string_view> ordered[] = {
        {"a", "B"},
        {"B", "c"},
        {"A", "a"},
        {"a", "ab"},
        {"Zebra", "арбуз"},
        {"арбуз", "Ярлык"},
        {"Ярлык", "ёж"},
        {"b.bmp", "bad\xFF.bmp"},
        {"bad\xFE", "bad\xFF"},
    };
    for (const auto& [first, second] : ordered) {
        EXPECT_TRUE(collation.less(first, second)) << first << " < " << second;
        EXPECT_FALSE(collation.less(second, first)) << second << " < " << first;
    }
    EXPECT_FALSE(collation.less("same", "same"));
}

TEST(DisplayCollation, FollowsTheLanguageOfTheLocale) {
    std::unique_ptr<DisplayCollation> russian;
    try {
        russian = std::make_unique<DisplayCollation>("ru_RU.UTF-8");
    } catch (const Error&) {
        GTEST_SKIP() << "the ru_RU.UTF-8 locale is not installed";
    }
    // "ё" sorts with "е", not after "я" as its code point would.
    std::vector<std::string> names = {"яблоко", "ель", "Ёлка", "ёж", "Ель"};
    russian->sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{"ёж", "Ёлка", "Ель", "ель", "яблоко"}));
    EXPECT_THROW(DisplayCollation("xx_NOWHERE.UTF-8"), Error);
}

class FolderListingTest : public ::testing::Test {
protected:
    TempDir dir_{"kadrix-listing-test"};
};

TEST_F(FolderListingTest, ListsMatchingRegularFilesInDisplayOrder) {
    test::fillAwkwardFolder(dir_.path());
    EXPECT_EQ(listFiles(dir_.str(), "*.bmp"), awkwardBmpFiles());
    EXPECT_EQ(listFiles(dir_.str(), "*.avi"), std::vector<std::string>{"clip.avi"});
    EXPECT_EQ(listFiles(dir_.str(), "*.wav"), std::vector<std::string>{"sound.WAV"});

    std::vector<std::string> every = awkwardBmpFiles();
    every.insert(every.end(), {"clip.avi", "no_extension", "sound.WAV"});
    userCollation().sort(every);
    EXPECT_EQ(listFiles(dir_.str(), "*.*"), every);
}

TEST_F(FolderListingTest, ListsSubfoldersInDisplayOrder) {
    test::fillAwkwardFolder(dir_.path());
    EXPECT_EQ(listSubfolders(dir_.str()), awkwardSubfolders());
    EXPECT_TRUE(listSubfolders((dir_.path() / "alpha").string()).empty());
}

TEST_F(FolderListingTest, ANonUtf8NameCanBeOpenedAsListed) {
    test::fillAwkwardFolder(dir_.path());
    const std::vector<std::string> files = listFiles(dir_.str(), "bad*");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(std::ifstream(dir_.path() / files[0]).good());
}

TEST_F(FolderListingTest, ManyFilesComeInDisplayOrder) {
    std::vector<std::string> names;
    for (int i = 0; i < 3000; ++i) {
        const std::string stem = (i % 3 == 0   ? "Ж"
                                  : i % 3 == 1 ? "pic"
                                               : "Pic") +
                                 std::to_string(i * 7919 % 3000);
        names.push_back(stem + ".bmp");
        test::touch(dir_.path() / names.back());
    }
    const std::vector<std::string> files = listFiles(dir_.str(), "*.bmp");
    ASSERT_EQ(files.size(), names.size());
    EXPECT_TRUE(std::is_sorted(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return userCollation().less(a, b);
    }));
    std::sort(names.begin(), names.end());
    std::vector<std::string> sortedFiles = files;
    std::sort(sortedFiles.begin(), sortedFiles.end());
    EXPECT_EQ(sortedFiles, names);
}

TEST_F(FolderListingTest, AFolderThatCannotBeReadIsAnErrorNamingIt) {
    const std::string gone = (dir_.path() / "gone").string();
    try {
        listFiles(gone, "*.*");
        FAIL() << "a missing folder was listed";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot read folder \"" + gone + "\". No such file or directory");
    }
    test::touch(dir_.path() / "file");
    EXPECT_THROW(listSubfolders((dir_.path() / "file").string()), Error);

    const auto locked = dir_.path() / "locked";
    fs::create_directory(locked);
    test::touch(locked / "inside.bmp");
    const UnreadableFolder unreadable(locked);
    if (unreadable.canList())
        GTEST_SKIP() << "this process reads folders whatever their mode";
    EXPECT_THROW(listFiles(locked.string(), "*.*"), Error);
    EXPECT_THROW(listSubfolders(locked.string()), Error);
}

} // namespace
} // namespace kadrix
