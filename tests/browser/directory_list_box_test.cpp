// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/directory_list_box.h"

#include "browser/file_list_box.h"
#include "core/error.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/gui_wait.h"
#include "tests/support/list_texts.h"
#include "tests/support/temp_dir.h"
#include "tests/support/working_folder.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

using test::TempDir;

using test::textsIn;

class DirectoryListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::fillAwkwardFolder(dir_.path());
        list_.setFileList(&files_);
        list_.resize(300, 600);
        list_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
    }

    QListWidgetItem* entryOf(const fs::path& folder) const {
        for (int row = 0; row < list_.count(); ++row) {
            if (DirectoryListBox::folderOf(*list_.item(row)) == folder.string())
                return list_.item(row);
        }
        ADD_FAILURE() << "no entry for " << folder;
        return list_.item(0);
    }
    void click(const fs::path& folder) {
        QTest::mouseClick(list_.viewport(), Qt::LeftButton, {},
                          list_.visualItemRect(entryOf(folder)).center());
    }
    void doubleClick(const fs::path& folder) {
        QTest::mouseDClick(list_.viewport(), Qt::LeftButton, {},
                           list_.visualItemRect(entryOf(folder)).center());
    }

    // Opening folder's entry by open fails: the error is reported and both
    // lists stay on the folder they showed.
    void expectOpeningRefused(const fs::path& folder, const std::function<void()>& open) {
        const QStringList entries = textsIn(list_);
        const QStringList fileEntries = textsIn(files_);
        const std::string directory = list_.directory();
        const QSignalSpy changes(&list_, &DirectoryListBox::directoryChanged);
        QSignalSpy errors(&list_, &DirectoryListBox::errorOccurred);
        open();
        ASSERT_EQ(errors.count(), 1);
        const QString report = errors.at(0).at(0).toString();
        EXPECT_TRUE(report.contains(QString::fromStdString(folder.string())))
            << report.toStdString();
        EXPECT_EQ(textsIn(list_), entries);
        EXPECT_EQ(textsIn(files_), fileEntries);
        EXPECT_EQ(list_.directory(), directory);
        EXPECT_EQ(files_.directory(), directory);
        EXPECT_EQ(changes.count(), 0);
    }

    // The texts of the root, the ancestors and the folder itself.
    static QStringList chainOf(const fs::path& folder) {
        QStringList chain{"/"};
        for (const auto& component : folder.relative_path())
            chain << QString::fromStdString(component.string());
        return chain;
    }

    test::WorkingFolder working_;
    TempDir dir_{"kadrix-folder-list-test"};
    FileListBox files_;
    DirectoryListBox list_;
};

TEST_F(DirectoryListBoxTest, ShowsRootAncestorsCurrentFolderThenSubfolders) {
    fs::create_directory(dir_.path() / "odd\xFE");
    list_.setDirectory(dir_.str() + "/alpha/../.");
    EXPECT_EQ(list_.directory(), dir_.str());

    const QStringList chain = chainOf(dir_.path());
    EXPECT_EQ(textsIn(list_),
              chain + QStringList({"alpha", "folder.bmp", "linkdir", "odd\\xFE", "Sub", "Папка"}));
    EXPECT_EQ(list_.currentRow(), chain.size() - 1);
    EXPECT_EQ(list_.selectedFolder(), dir_.str());
    EXPECT_EQ(DirectoryListBox::folderOf(*list_.item(0)), "/");
    EXPECT_EQ(DirectoryListBox::folderOf(*list_.item(1)), "/" + chain[1].toStdString());
    EXPECT_EQ(DirectoryListBox::folderOf(*list_.item(list_.count() - 3)),
              (dir_.path() / "odd\xFE").string());

    list_.setDirectory("/");
    EXPECT_EQ(textsIn(list_).first(), "/");
    EXPECT_EQ(list_.currentRow(), 0);
}

TEST_F(DirectoryListBoxTest, TheFileListFollowsBeforeTheChangeIsAnnounced) {
    std::vector<std::string> events;
    QObject::connect(&files_, &FileListBox::listRead, [&] { events.push_back("files read"); });
    QObject::connect(&list_, &DirectoryListBox::directoryChanged,
                     [&] { events.push_back("changed, files in " + files_.directory()); });
    list_.setDirectory(dir_.str());
    EXPECT_EQ(events, (std::vector<std::string>{"files read", "changed, files in " + dir_.str()}));
    EXPECT_EQ(files_.count(), 11);

    events.clear();
    list_.setDirectory(dir_.str() + "/");
    EXPECT_TRUE(events.empty()) << "the folder shown was read again";
}

TEST_F(DirectoryListBoxTest, AClickSelectsADoubleClickOrEnterOpens) {
    list_.setDirectory(dir_.str());
    const QSignalSpy changes(&list_, &DirectoryListBox::directoryChanged);

    click(dir_.path() / "alpha");
    EXPECT_EQ(list_.selectedFolder(), (dir_.path() / "alpha").string());
    EXPECT_EQ(list_.directory(), dir_.str());
    EXPECT_EQ(changes.count(), 0);

    doubleClick(dir_.path() / "Sub");
    EXPECT_EQ(list_.directory(), (dir_.path() / "Sub").string());
    EXPECT_EQ(files_.directory(), list_.directory());
    EXPECT_EQ(list_.selectedFolder(), list_.directory());
    EXPECT_EQ(changes.count(), 1);

    doubleClick(dir_.path() / "Sub"); // the current folder: nothing to do
    EXPECT_EQ(changes.count(), 1);

    list_.setCurrentItem(entryOf(dir_.path().parent_path()));
    QTest::keyClick(&list_, Qt::Key_Return);
    EXPECT_EQ(list_.directory(), dir_.path().parent_path().string());
    EXPECT_EQ(changes.count(), 2);

    list_.setCurrentItem(entryOf(dir_.path()));
    QTest::keyClick(&list_, Qt::Key_Enter);
    EXPECT_EQ(list_.directory(), dir_.str());
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(DirectoryListBoxTest, AVanishedFolderIsReportedAndNothingChanges) {
    list_.setDirectory(dir_.str());
    const fs::path gone = dir_.path() / "alpha";
    fs::remove(gone);
    expectOpeningRefused(gone, [&] { doubleClick(gone); });
    EXPECT_THROW(list_.setDirectory(gone.string()), Error);
    EXPECT_EQ(list_.directory(), dir_.str());
}

TEST_F(DirectoryListBoxTest, AnUnreadableFolderIsReportedAndNothingChanges) {
    list_.setDirectory(dir_.str());
    const fs::path locked = dir_.path() / "Sub";
    const test::UnreadableFolder unreadable(locked);
    if (unreadable.canList())
        GTEST_SKIP() << "this process reads folders whatever their mode";
    expectOpeningRefused(locked, [&] { doubleClick(locked); });
}

TEST_F(DirectoryListBoxTest, AFolderThatCannotBeEnteredIsReportedAndNothingChanges) {
    list_.setDirectory(dir_.str());
    const fs::path locked = dir_.path() / "Sub";
    const test::UnreadableFolder unenterable(locked, fs::perms::owner_read);
    if (unenterable.canEnter())
        GTEST_SKIP() << "this process enters folders whatever their mode";
    list_.setCurrentItem(entryOf(locked));
    expectOpeningRefused(locked, [&] { QTest::keyClick(&list_, Qt::Key_Return); });
}

TEST_F(DirectoryListBoxTest, ReloadShowsNewSubfoldersAndKeepsAllWhenTheFolderWent) {
    const fs::path shown = dir_.path() / "alpha";
    list_.setDirectory(shown.string());
    const int before = list_.count();
    fs::create_directory(shown / "new");
    list_.reload();
    EXPECT_EQ(list_.count(), before + 1);
    EXPECT_EQ(textsIn(list_).last(), "new");

    fs::current_path(dir_.path());
    fs::remove_all(shown);
    EXPECT_THROW(list_.reload(), Error);
    EXPECT_EQ(list_.count(), before + 1);
    EXPECT_EQ(list_.directory(), shown.string());
}

TEST_F(DirectoryListBoxTest, ChangingTheDriveReturnsToTheFolderLastShownThere) {
    const fs::path one = dir_.path() / "alpha";
    const fs::path two = dir_.path() / "Sub";
    fs::create_directories(one / "photos");
    fs::create_directories(two / "clips");
    list_.setVolumeSource([&] {
        return std::vector<Volume>{{"/", ""}, {one.string(), "One"}, {two.string(), "Two"}};
    });
    const QSignalSpy changes(&list_, &DirectoryListBox::directoryChanged);

    list_.setDirectory((one / "photos").string());
    list_.setDrive(one.string()); // the volume shown already
    EXPECT_EQ(changes.count(), 1);
    list_.setDrive(two.string()); // first visit: its root
    EXPECT_EQ(list_.directory(), two.string());
    EXPECT_EQ(files_.directory(), two.string());
    list_.setDirectory((two / "clips").string());
    list_.setDrive(one.string());
    EXPECT_EQ(list_.directory(), (one / "photos").string());
    EXPECT_EQ(changes.count(), 4);

    fs::remove(two / "clips"); // the folder to return to went: the root
    list_.setDrive(two.string());
    EXPECT_EQ(list_.directory(), two.string());
    list_.setDrive("/");
    EXPECT_EQ(list_.directory(), "/");
}

} // namespace
} // namespace kadrix
