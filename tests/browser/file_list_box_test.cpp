// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/file_list_box.h"

#include "core/error.h"
#include "core/naming/folder_listing.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/list_texts.h"
#include "tests/support/temp_dir.h"
#include "tests/support/working_folder.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

using test::TempDir;

std::vector<std::string> namesIn(const FileListBox& list) {
    std::vector<std::string> names;
    for (int row = 0; row < list.count(); ++row)
        names.push_back(FileListBox::nameOf(*list.item(row)));
    return names;
}

using test::textsIn;

class FileListBoxTest : public ::testing::Test {
protected:
    void SetUp() override { test::fillAwkwardFolder(dir_.path()); }

    test::WorkingFolder working_;
    TempDir dir_{"kadrix-file-list-test"};
    FileListBox list_;
};

TEST_F(FileListBoxTest, ShowsTheMatchingFilesSortedAndEntersTheFolder) {
    EXPECT_EQ(list_.mask(), "*.bmp");
    list_.setDirectory(dir_.str());
    EXPECT_EQ(list_.directory(), dir_.str());
    EXPECT_EQ(namesIn(list_), test::awkwardBmpFiles());
    EXPECT_EQ(textsIn(list_),
              QStringList({"A.bmp", "a.bmp", "b.bmp", "bad\\xFF.bmp", "c.BMP", "link.bmp",
                           "with space.bmp", "Zebra.bmp", "арбуз.bmp", "Ярлык.bmp", "ёж.bmp"}));

    list_.setMask("*.*");
    EXPECT_EQ(list_.count(), 14);
    list_.setMask("*.wav");
    EXPECT_EQ(namesIn(list_), std::vector<std::string>{"sound.WAV"});
}

TEST_F(FileListBoxTest, EachKindHasItsOwnGlyph) {
    const QString kinds[] = {"A.bmp", "clip.avi", "sound.WAV", "no_extension"};
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        EXPECT_FALSE(list_.glyphFor(kinds[i]).isNull()) << kinds[i].toStdString();
        for (std::size_t j = i + 1; j < std::size(kinds); ++j)
            EXPECT_NE(list_.glyphFor(kinds[i]).cacheKey(), list_.glyphFor(kinds[j]).cacheKey())
                << kinds[i].toStdString() << " and " << kinds[j].toStdString();
    }
    EXPECT_EQ(list_.glyphFor("A.bmp").cacheKey(), list_.glyphFor("c.BMP").cacheKey());
    EXPECT_EQ(list_.glyphFor("x.bmp.txt").cacheKey(), list_.glyphFor("x").cacheKey());
}

TEST_F(FileListBoxTest, ALongNameCanBeScrolledTo) {
    list_.resize(135, 166);
    list_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
    // Every entry is as wide as the widest name, so the scroll bar reaches it.
    const auto entryWidthFits = [&](const QString& name) {
        list_.doItemsLayout();
        return list_.visualItemRect(list_.item(0)).width() >
                   list_.fontMetrics().horizontalAdvance(name) &&
               list_.horizontalScrollBar()->maximum() > 0;
    };
    const std::string longName(60, 'W');
    test::touch(dir_.path() / (longName + ".bmp"));
    list_.setDirectory(dir_.str());
    EXPECT_TRUE(entryWidthFits(QString::fromStdString(longName + ".bmp")));
    list_.insertName(longName + "WWW.bmp");
    EXPECT_TRUE(entryWidthFits(QString::fromStdString(longName + "WWW.bmp")));
}

TEST_F(FileListBoxTest, ReadsOnlyOnANewFolderANewMaskOrAReload) {
    const QSignalSpy reads(&list_, &FileListBox::listRead);
    list_.setMask("*.avi"); // no folder yet: nothing to read
    EXPECT_EQ(reads.count(), 0);
    list_.setMask("*.bmp");

    list_.setDirectory(dir_.str());
    EXPECT_EQ(reads.count(), 1);
    test::touch(dir_.path() / "Pic000001.bmp");
    list_.setDirectory(dir_.str());
    list_.setMask("*.bmp");
    EXPECT_EQ(reads.count(), 1);
    EXPECT_EQ(list_.count(), 11) << "the list was read again";

    list_.reload();
    EXPECT_EQ(reads.count(), 2);
    EXPECT_EQ(list_.count(), 12);
    list_.setMask("*.avi");
    EXPECT_EQ(reads.count(), 3);
    list_.setDirectory((dir_.path() / "alpha").string());
    EXPECT_EQ(reads.count(), 4);
    EXPECT_EQ(list_.count(), 0);
}

TEST_F(FileListBoxTest, SelectedNameIsTheRawNameOfTheSelectedEntry) {
    list_.setDirectory(dir_.str());
    EXPECT_EQ(list_.selectedName(), "");
    list_.item(3)->setSelected(true);
    ASSERT_EQ(list_.selectedName(), "bad\xFF.bmp");
    // The bytes name the file in the list's folder.
    EXPECT_TRUE(std::ifstream(dir_.path() / list_.selectedName()).good());
    list_.item(3)->setSelected(false);
    EXPECT_EQ(list_.selectedName(), "");
}

TEST_F(FileListBoxTest, InsertedNamesTakeTheirPlaceAndRemovedOnesGo) {
    list_.setDirectory(dir_.str());
    list_.insertName("B2.bmp");
    list_.insertName("яя.bmp");
    list_.insertName("0.bmp");
    list_.removeName("Zebra.bmp");
    list_.removeName("not there.bmp");
    std::vector<std::string> expected = test::awkwardBmpFiles();
    expected.erase(std::find(expected.begin(), expected.end(), "Zebra.bmp"));
    expected.insert(expected.end(), {"B2.bmp", "яя.bmp", "0.bmp"});
    userCollation().sort(expected);
    EXPECT_EQ(namesIn(list_), expected);
}

// Showing folder fails with an error and leaves the list as it was.
void expectRefusedAndUnchanged(FileListBox& list, const fs::path& folder) {
    const std::vector<std::string> names = namesIn(list);
    const std::string directory = list.directory();
    const std::string selected = list.selectedName();
    const fs::path working = fs::current_path();
    const QSignalSpy reads(&list, &FileListBox::listRead);
    EXPECT_THROW(list.setDirectory(folder.string()), Error);
    EXPECT_EQ(namesIn(list), names);
    EXPECT_EQ(list.directory(), directory);
    EXPECT_EQ(list.selectedName(), selected);
    EXPECT_EQ(fs::current_path(), working);
    EXPECT_EQ(reads.count(), 0);
}

TEST_F(FileListBoxTest, AVanishedFolderLeavesTheListAsItWas) {
    list_.setDirectory(dir_.str());
    list_.item(2)->setSelected(true);
    fs::remove(dir_.path() / "alpha");
    expectRefusedAndUnchanged(list_, dir_.path() / "alpha");
    expectRefusedAndUnchanged(list_, dir_.path() / "A.bmp");
}

TEST_F(FileListBoxTest, TheFolderShownVanishingLeavesTheListAsItWas) {
    const fs::path shown = dir_.path() / "folder.bmp";
    test::touch(shown / "inside.bmp");
    list_.setDirectory(shown.string());
    fs::current_path(dir_.path());
    fs::remove_all(shown);
    EXPECT_THROW(list_.setMask("*.*"), Error);
    EXPECT_THROW(list_.reload(), Error);
    EXPECT_EQ(list_.mask(), "*.bmp");
    EXPECT_EQ(namesIn(list_), std::vector<std::string>{"inside.bmp"});
}

TEST_F(FileListBoxTest, AnUnreadableFolderLeavesTheListAsItWas) {
    list_.setDirectory(dir_.str());
    const test::UnreadableFolder unreadable(dir_.path() / "Sub");
    if (unreadable.canList())
        GTEST_SKIP() << "this process reads folders whatever their mode";
    expectRefusedAndUnchanged(list_, dir_.path() / "Sub");
}

TEST_F(FileListBoxTest, AFolderThatCanBeReadButNotEnteredLeavesTheListAsItWas) {
    list_.setDirectory(dir_.str());
    const test::UnreadableFolder unenterable(dir_.path() / "Sub", fs::perms::owner_read);
    if (unenterable.canEnter())
        GTEST_SKIP() << "this process enters folders whatever their mode";
    expectRefusedAndUnchanged(list_, dir_.path() / "Sub");
}

} // namespace
} // namespace kadrix
