// SPDX-License-Identifier: GPL-3.0-or-later
// The clip recording's steps, with the screen held in memory.
#include "app/frame_title_strip.h"
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "capture/screen_under_window.h"
#include "tests/support/byte_fields.h"
#include "tests/support/fake_screen_grabber.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/test_services.h"
#include "tests/support/unwritable_folder.h"
#include "tests/support/working_folder.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// The number of frames an independent reader finds in a clip.
int framesInClip(const fs::path& clip) {
    QProcess probe;
    probe.start("ffprobe",
                {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                 "stream=nb_read_frames", "-of", "csv=p=0", QString::fromStdString(clip.string())});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return -1;
    return probe.readAllStandardOutput().trimmed().toInt();
}

// The frame size an independent reader finds in a clip, "WxH".
std::string clipSize(const fs::path& clip) {
    QProcess probe;
    probe.start("ffprobe",
                {"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=width,height",
                 "-of", "csv=p=0:s=x", QString::fromStdString(clip.string())});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return "unreadable";
    return probe.readAllStandardOutput().trimmed().toStdString();
}

// The size of a BMP file's picture, "WxH", from its header.
std::string bmpSize(const fs::path& bmp) {
    const std::vector<std::byte> file = test::readFile(bmp.string());
    return std::to_string(test::s32At(file, 18)) + "x" + std::to_string(test::s32At(file, 22));
}

class ClipRecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::byte> screen(640 * 480 * 4, std::byte{0x40});
        Services services = test::testServices();
        services.grabber =
            std::make_unique<FakeScreenGrabber>(640, 480, PixelFormat::Bgrx32, 640 * 4, screen);
        window_ = std::make_unique<TMain>(std::move(services), lock_.folders());
        test::control<DirectoryListBox>(*window_, "DirectoryListBox1")->setDirectory(folder_.str());
        test::control<QRadioButton>(*window_, "RadioButton2")->click();
        window_->show();
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn2"), Qt::LeftButton);
        window_->setGeometry(10, 10, 160, 120);
    }
    fs::path inFolder(const char* name) const { return folder_.path() / name; }
    // What a report says of frames moved aside from the first clip.
    QString keptInVid000001() const {
        return QString::fromStdString("kept in \"" + inFolder("Vid000001").string() + "\"");
    }

    // Starts a recording whose ticks the test gives itself.
    void startWithTicksByHand() {
        window_->BitBtn1Click();
        test::control<QTimer>(*window_, "Timer1")->stop();
        test::control<QTimer>(*window_, "Timer2")->stop();
    }

    // A frame tick, and the wait until its frame is on disk: frames are
    // written beside the timer.
    void tick() {
        const ScreenRect outer = outerRectInPixels(*window_);
        const std::int32_t number = window_->frameCounter();
        window_->Timer1Timer();
        const fs::path frame = folder_.path() / outputFileName(OutputKind::Frame, number);
        const std::uintmax_t size = 54 + std::uintmax_t(outer.width) * 4 * outer.height;
        std::error_code error;
        ASSERT_TRUE(test::waitFor([&] { return fs::file_size(frame, error) == size; }))
            << frame << " not written";
    }

    TempDir folder_{"kadrix-clips"};
    // Reading the file list moves into the folder listed.
    test::WorkingFolder working_;
    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

TEST_F(ClipRecordingTest, ARecordingWritesFramesThenTheClipAndPutsEverythingBack) {
    TMain& w = *window_;
    test::control<QSpinBox>(w, "SpinEdit1")->setValue(3);
    ASSERT_EQ(test::control<QPushButton>(w, "BitBtn1")->text(), "съемка");
    w.BitBtn1Click();
    EXPECT_TRUE(w.recording());
    EXPECT_EQ(test::control<QTimer>(w, "Timer2")->interval(), 3000);
    EXPECT_TRUE(test::control<QTimer>(w, "Timer1")->isActive());
    EXPECT_TRUE(test::control<QTimer>(w, "Timer2")->isActive());
    EXPECT_EQ(test::control<QProgressBar>(w, "ProgressBar1")->maximum(), 3000);
    EXPECT_TRUE(test::control<QProgressBar>(w, "ProgressBar1")->isVisible());
    EXPECT_FALSE(test::control<QPushButton>(w, "BitBtn1")->isEnabled());
    EXPECT_FALSE(test::control<QPushButton>(w, "BitBtn2")->isEnabled());
    EXPECT_FALSE(test::control<QSpinBox>(w, "SpinEdit1")->isEnabled());
    EXPECT_FALSE(w.titleStrip()->closeButton()->isVisible()) << "no border icons while recording";
    EXPECT_EQ(w.windowTitle(), "Идёт запись...");
    test::control<QTimer>(w, "Timer1")->stop(); // the test gives the ticks itself
    test::control<QTimer>(w, "Timer2")->stop();

    for (int n = 0; n < 3; ++n)
        tick();
    EXPECT_EQ(test::control<QProgressBar>(w, "ProgressBar1")->value(), 600);
    EXPECT_EQ(w.frameCounter(), 4);
    for (const char* frame : {"Fr000001.bmp", "Fr000002.bmp", "Fr000003.bmp"})
        EXPECT_TRUE(fs::exists(inFolder(frame))) << frame;

    w.Timer2Timer();
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(framesInClip(inFolder("Vid000001.avi")), 3);
    // The frame files go off the window's thread.
    for (const char* frame : {"Fr000001.bmp", "Fr000002.bmp", "Fr000003.bmp"})
        EXPECT_TRUE(test::waitFor([&] { return !fs::exists(inFolder(frame)); })) << frame;
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text().toStdString(),
              inFolder("Vid000002.avi").string());
    EXPECT_EQ(w.windowTitle(), "Kadrix");
    EXPECT_TRUE(test::control<QPushButton>(w, "BitBtn1")->isEnabled());
    EXPECT_TRUE(test::control<QPushButton>(w, "BitBtn2")->isEnabled());
    EXPECT_TRUE(test::control<QSpinBox>(w, "SpinEdit1")->isEnabled());
    EXPECT_FALSE(test::control<QProgressBar>(w, "ProgressBar1")->isVisible());
    EXPECT_FALSE(test::control<QTimer>(w, "Timer1")->isActive());
    EXPECT_FALSE(test::control<QTimer>(w, "Timer2")->isActive());
    EXPECT_TRUE(w.titleStrip()->closeButton()->isVisible());
    EXPECT_FALSE(w.titleStrip()->maximiseButton()->isVisible())
        << "the maximise box comes back with the next switch to the frame";

    w.Timer2Timer();
    EXPECT_EQ(w.counters().next(OutputKind::Video), 2) << "the stop step ran twice";
}

TEST_F(ClipRecordingTest, OnlyTheFramesThisRecordingWroteGoIntoTheClip) {
    TMain& w = *window_;
    startWithTicksByHand();
    tick();
    const std::string size = bmpSize(inFolder("Fr000001.bmp"));
    // Strays that a pattern taken without regard to case, or sorted by
    // bytes, would take in: a larger picture that would come first and set
    // the clip's size, a frame of a longer earlier recording, other spellings.
    fs::copy_file(inFolder("Fr000001.bmp"), inFolder("Fr999999.bmp"));
    fs::copy_file(inFolder("Fr000001.bmp"), inFolder("Fr1.bmp"));
    fs::copy_file(inFolder("Fr000001.bmp"), inFolder("FR000002.BMP"));
    w.setGeometry(10, 10, 320, 240);
    tick();
    fs::rename(inFolder("Fr000002.bmp"), inFolder("FRAME.BMP"));
    w.setGeometry(10, 10, 160, 120);
    tick();
    fs::rename(inFolder("FRAME.BMP"), inFolder("Fr000002.bmp"));
    fs::copy_file(inFolder("Fr000002.bmp"), inFolder("FRAME.BMP"));
    const std::vector<std::string> frames = w.FillList();
    ASSERT_EQ(frames.size(), 3u);
    for (std::size_t n = 0; n < 3; ++n)
        EXPECT_EQ(frames[n],
                  inFolder(("Fr00000" + std::to_string(n + 1) + ".bmp").c_str()).string());

    w.Timer2Timer();
    EXPECT_EQ(framesInClip(inFolder("Vid000001.avi")), 3);
    EXPECT_EQ(clipSize(inFolder("Vid000001.avi")), size);
    for (const char* stray : {"Fr999999.bmp", "Fr1.bmp", "FR000002.BMP", "FRAME.BMP"})
        EXPECT_TRUE(fs::exists(inFolder(stray))) << stray;
    EXPECT_TRUE(test::waitFor([&] { return !fs::exists(inFolder("Fr000002.bmp")); }));
}

TEST_F(ClipRecordingTest, AResizedFrameIsFittedToTheFirst) {
    TMain& w = *window_;
    startWithTicksByHand();
    tick();
    const std::string size = bmpSize(inFolder("Fr000001.bmp"));
    w.setGeometry(10, 10, 120, 90); // the user makes the frame smaller...
    tick();
    w.setGeometry(10, 10, 200, 150); // ...and larger
    tick();

    const auto reports = test::answerEveryMessageBox([&] { w.Timer2Timer(); });
    EXPECT_TRUE(reports.empty()) << reports.front().text.toStdString();
    const fs::path clip = inFolder("Vid000001.avi");
    EXPECT_EQ(framesInClip(clip), 3);
    EXPECT_EQ(clipSize(clip), size);
    EXPECT_FALSE(w.recording());
    EXPECT_TRUE(test::control<QPushButton>(w, "BitBtn1")->isEnabled());
}

TEST_F(ClipRecordingTest, NoFramesSaysSoAndStillTakesTheNumber) {
    TMain& w = *window_;
    startWithTicksByHand();
    const test::SeenMessageBox box = test::answerMessageBox([&] { w.Timer2Timer(); });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text, "Fr*.bmp файлы отсутствуют");
    EXPECT_FALSE(fs::exists(inFolder("Vid000001.avi")));
    EXPECT_EQ(test::control<QLineEdit>(w, "Edit1")->text().toStdString(),
              inFolder("Vid000002.avi").string());
    EXPECT_TRUE(test::control<QPushButton>(w, "BitBtn2")->isEnabled());
}

TEST_F(ClipRecordingTest, AFrameThatCannotBeWrittenEndsTheRecordingWithOneReport) {
    TMain& w = *window_;
    startWithTicksByHand();
    tick();
    test::UnwritableFolder unwritable(folder_.path());
    if (!unwritable.holds())
        GTEST_SKIP() << "cannot make the folder unwritable here";
    // The frame that cannot be written ends the recording at the next tick.
    const auto reports = test::answerEveryMessageBox([&] {
        w.Timer1Timer();
        if (w.recording())
            w.Timer1Timer();
    });
    unwritable.restore();
    EXPECT_GE(reports.size(), 1u);
    EXPECT_LE(reports.size(), 2u) << "a report at every step";
    EXPECT_FALSE(w.recording());
    EXPECT_TRUE(test::control<QPushButton>(w, "BitBtn1")->isEnabled());
    EXPECT_FALSE(test::control<QProgressBar>(w, "ProgressBar1")->isVisible());
    EXPECT_EQ(w.windowTitle(), "Kadrix");
}

TEST_F(ClipRecordingTest, TwoSecondsOnTheRealTimersGiveAtMostTenFrames) {
    TMain& w = *window_;
    w.BitBtn1Click();
    ASSERT_TRUE(test::waitFor([&] { return !w.recording(); }, 30000));
    const int frames = framesInClip(inFolder("Vid000001.avi"));
    // A busy machine misses ticks (they are logged, not made up for); never
    // more frames than the duration holds.
    EXPECT_GE(frames, 2);
    EXPECT_LE(frames, 10);
    w.BitBtn1Click();
    ASSERT_TRUE(test::waitFor([&] { return !w.recording(); }, 30000));
    EXPECT_GT(framesInClip(inFolder("Vid000002.avi")), 0)
        << "the second clip takes the next number";
}

// A folder whose name is not valid UTF-8 records like any other: its frames
// are found again and become the clip, none is lost.
TEST_F(ClipRecordingTest, AFolderNamedInAnotherEncodingGetsItsClip) {
    TMain& w = *window_;
    const fs::path folder = folder_.path() / "Filme \xE4";
    fs::create_directory(folder);
    test::control<DirectoryListBox>(w, "DirectoryListBox1")->setDirectory(folder.string());
    startWithTicksByHand();
    w.Timer1Timer();
    w.Timer1Timer();
    const test::SeenMessageBox report = test::answerMessageBox([&] { w.Timer2Timer(); }, 300);
    EXPECT_FALSE(report.shown) << report.text.toStdString();
    // The reader is handed an ASCII name: its command line passes through Qt.
    fs::create_symlink(folder / "Vid000001.avi", inFolder("clip.avi"));
    EXPECT_EQ(framesInClip(inFolder("clip.avi")), 2);
    EXPECT_TRUE(test::waitFor([&] { return !fs::exists(folder / "Fr000001.bmp"); }));
}

// A clip that cannot be made keeps its frames; the next recording in the
// folder, which numbers its frames from 1 again, leaves every one whole.
TEST_F(ClipRecordingTest, TheFramesOfAFailedClipOutliveTheNextRecording) {
    TMain& w = *window_;
    fs::create_directory(inFolder("Vid000001.avi")); // the clip cannot take its name
    startWithTicksByHand();
    const char* const names[] = {"Fr000001.bmp", "Fr000002.bmp", "Fr000003.bmp"};
    std::vector<std::vector<std::byte>> first;
    for (const char* name : names) {
        tick();
        first.push_back(test::readFile(inFolder(name)));
    }
    const test::SeenMessageBox report = test::answerMessageBox([&] { w.Timer2Timer(); });
    ASSERT_TRUE(report.shown);
    EXPECT_TRUE(report.text.contains(keptInVid000001())) << report.text.toStdString();

    // The next recording, of another size, in the same folder.
    w.setGeometry(10, 10, 200, 150);
    startWithTicksByHand();
    const std::vector<test::SeenMessageBox> reports = test::answerEveryMessageBox([&] {
        tick();
        tick();
        w.Timer2Timer();
    });
    EXPECT_TRUE(reports.empty()) << reports.front().text.toStdString();
    EXPECT_EQ(framesInClip(inFolder("Vid000002.avi")), 2);
    for (std::size_t n = 0; n < std::size(names); ++n)
        EXPECT_EQ(test::readFile((inFolder("Vid000001") / names[n]).string()), first[n])
            << names[n];
    EXPECT_TRUE(test::waitFor([&] { return !fs::exists(inFolder("Fr000001.bmp")); }));
}

} // namespace
} // namespace kadrix
