// SPDX-License-Identifier: GPL-3.0-or-later
// The mode buttons and the folder tree as the main window hosts them.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "browser/file_list_box.h"
#include "tests/support/fake_screen_grabber.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"
#include "ui/media_player_bar.h"
#include "ui/picture_box.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class ModeSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.bmp", "b.avi", "c.wav", "d.txt"})
            test::writeFile(folder_.path(name), "x");
        fs::create_directory(folder_.path() / "other");
        // A screen to take pictures of, for the counters.
        Services services = test::testServices();
        services.grabber = std::make_unique<FakeScreenGrabber>(64, 64, PixelFormat::Bgrx32, 64 * 4,
                                                               std::vector<std::byte>(64 * 64 * 4));
        window_ = std::make_unique<TMain>(std::move(services), lock_.folders());
        window_->show();
    }
    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < test::control<FileListBox>(*window_, "FileListBox1")->count(); ++i)
            names << QString::fromStdString(FileListBox::nameOf(
                *test::control<FileListBox>(*window_, "FileListBox1")->item(i)));
        return names;
    }
    QString inFolder(const std::string& folder, const char* name) const {
        return QString::fromStdString((fs::path(folder) / name).string());
    }

    TempDir folder_{"kadrix-modes"};
    test::WorkingFolder working_{folder_.str()};
    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

TEST_F(ModeSwitchTest, EachModeSetsItsColumnOfControls) {
    TMain& w = *window_;
    struct Column {
        QRadioButton* button;
        QStringList files;
        QString capture;
        bool canCapture, clipPlayer, picturePreview, duration;
        const char* nextName;
    };
    const Column columns[] = {
        {test::control<QRadioButton>(w, "RadioButton2"),
         {"b.avi"},
         "съемка",
         true,
         true,
         false,
         true,
         "Vid000001.avi"},
        {test::control<QRadioButton>(w, "RadioButton3"),
         {"c.wav"},
         "Звук",
         true,
         false,
         false,
         true,
         "ZVUK000001.wav"},
        {test::control<QRadioButton>(w, "RadioButton4"),
         {"a.bmp", "b.avi", "c.wav", "d.txt"},
         "снимок",
         false,
         false,
         false,
         false,
         "ZVUK000001.wav"},
        {test::control<QRadioButton>(w, "RadioButton1"),
         {"a.bmp"},
         "снимок",
         true,
         false,
         true,
         false,
         "Pic000001.bmp"},
    };
    EXPECT_EQ(listed(), QStringList{"a.bmp"});
    for (const Column& c : columns) {
        const std::string mode = c.button->text().toStdString();
        c.button->click();
        EXPECT_EQ(listed(), c.files) << mode;
        EXPECT_EQ(test::control<QPushButton>(w, "BitBtn1")->text(), c.capture) << mode;
        EXPECT_EQ(test::control<QPushButton>(w, "BitBtn2")->isEnabled(), c.canCapture) << mode;
        EXPECT_EQ(test::control<QPushButton>(w, "BitBtn3")->isEnabled(), c.canCapture) << mode;
        EXPECT_EQ(test::control<MediaPlayerBar>(w, "MediaPlayer1")->isVisible(), c.clipPlayer)
            << mode;
        EXPECT_EQ(test::control<QFrame>(w, "Panel2")->isVisible(), c.clipPlayer) << mode;
        EXPECT_EQ(test::control<QLabel>(w, "Image1")->isVisible(), c.picturePreview) << mode;
        EXPECT_EQ(test::control<QSpinBox>(w, "SpinEdit1")->isEnabled(), c.duration) << mode;
        EXPECT_FALSE(test::control<QFrame>(w, "Panel3")->isVisible()) << mode;
        EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(), inFolder(folder_.str(), c.nextName))
            << mode;
    }
}

TEST_F(ModeSwitchTest, TheButtonAlreadyOnChangesNothing) {
    TMain& w = *window_;
    QSignalSpy reads(test::control<FileListBox>(w, "FileListBox1"), &FileListBox::listRead);
    test::control<QLineEdit>(w, "Edit1")->setText("left alone");
    test::control<QRadioButton>(w, "RadioButton1")->click();
    EXPECT_EQ(reads.count(), 0);
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(), "left alone");
}

TEST_F(ModeSwitchTest, ANewFolderGetsTheNextNameOfTheModeWithTheCountersKept) {
    TMain& w = *window_;
    QTest::mouseClick(test::control<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
    w.BitBtn1Click();
    w.BitBtn1Click();
    QTest::mouseClick(test::control<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(),
              inFolder(folder_.str(), "Pic000003.bmp"));
    EXPECT_TRUE(listed().contains("Pic000002.bmp")) << "the list is read again on the way back";

    const std::string other = (folder_.path() / "other").string();
    test::control<DirectoryListBox>(w, "DirectoryListBox1")->setDirectory(other);
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(), inFolder(other, "Pic000003.bmp"));
    test::control<QRadioButton>(w, "RadioButton2")->click();
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(), inFolder(other, "Vid000001.avi"));
    test::control<DirectoryListBox>(w, "DirectoryListBox1")->setDirectory(folder_.str());
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(),
              inFolder(folder_.str(), "Vid000001.avi"));
    test::control<QRadioButton>(w, "RadioButton4")->click();
    test::control<DirectoryListBox>(w, "DirectoryListBox1")->setDirectory(other);
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(), inFolder(other, "Pic000003.bmp"))
        << "the picture name in the all-files mode";
}

TEST_F(ModeSwitchTest, FromClipsToPicturesTheConversionBarStaysHidden) {
    TMain& w = *window_;
    test::control<QRadioButton>(w, "RadioButton2")->click();
    test::control<QRadioButton>(w, "RadioButton1")->click();
    EXPECT_FALSE(test::control<QFrame>(w, "Panel3")->isVisible());
    EXPECT_TRUE(test::control<QLabel>(w, "Image1")->isVisible());
}

// The folder shown vanished meanwhile: a mode switch completes the mode first,
// then reports the loss once and moves to the nearest folder above that
// exists, with the next name there.
TEST_F(ModeSwitchTest, AVanishedFolderIsReportedOnceAfterTheModeIsWhole) {
    TMain& w = *window_;
    const fs::path gone = folder_.path() / "gone";
    fs::create_directories(gone / "deeper");
    test::control<DirectoryListBox>(w, "DirectoryListBox1")
        ->setDirectory((gone / "deeper").string());
    fs::remove_all(gone);

    const std::vector<test::SeenMessageBox> reports = test::answerEveryMessageBox(
        [&] { test::control<QRadioButton>(w, "RadioButton4")->click(); });
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].text.contains("gone")) << reports[0].text.toStdString();
    EXPECT_TRUE(test::control<QRadioButton>(w, "RadioButton4")->isChecked());
    EXPECT_FALSE(test::control<QPushButton>(w, "BitBtn2")->isEnabled());
    EXPECT_EQ(w.currentFolder(), folder_.str());
    EXPECT_EQ(test::control<FileListBox>(w, "FileListBox1")->mask(), "*.*");
    EXPECT_TRUE(listed().contains("d.txt"));
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(),
              inFolder(folder_.str(), "Pic000001.bmp"));
}

// The same when the user comes back from the capture frame: the options
// layout is whole first.
TEST_F(ModeSwitchTest, BackToOptionsFromAVanishedFolderCompletesTheLayoutFirst) {
    TMain& w = *window_;
    test::control<QRadioButton>(w, "RadioButton2")->click();
    const fs::path gone = folder_.path() / "gone";
    fs::create_directories(gone / "deeper");
    test::control<DirectoryListBox>(w, "DirectoryListBox1")
        ->setDirectory((gone / "deeper").string());
    test::control<QPushButton>(w, "BitBtn2")->click();
    ASSERT_TRUE(w.inCaptureFrame());
    fs::remove_all(gone);

    const std::vector<test::SeenMessageBox> reports =
        test::answerEveryMessageBox([&] { test::control<QPushButton>(w, "BitBtn2")->click(); });
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(w.inCaptureFrame());
    EXPECT_TRUE(test::control<MediaPlayerBar>(w, "MediaPlayer1")->isVisible());
    EXPECT_TRUE(test::control<QFrame>(w, "Panel2")->isVisible());
    EXPECT_EQ(w.currentFolder(), folder_.str());
    EXPECT_TRUE(listed().contains("b.avi"));
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text(),
              inFolder(folder_.str(), "Vid000001.avi"));
}

} // namespace
} // namespace kadrix
