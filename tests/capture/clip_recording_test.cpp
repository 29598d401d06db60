// The clip recording's steps, with the screen held in memory.
#include "app/UnitMain.h"
#include "app/frame_title_strip.h"
#include "browser/directory_list_box.h"
#include "tests/support/fake_screen_grabber.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/temp_dir.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <fstream>
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

class ClipRecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TMain>(TMain::LockFolders{
            QString::fromStdString(program_.str()), QString::fromStdString(program_.str())});
        std::vector<std::byte> screen(640 * 480 * 4, std::byte{0x40});
        window_->setScreenGrabber(
            std::make_unique<FakeScreenGrabber>(640, 480, PixelFormat::Bgrx32, 640 * 4, screen));
        test::control<DirectoryListBox>(*window_, "DirectoryListBox1")->setDirectory(folder_.str());
        test::control<QRadioButton>(*window_, "RadioButton2")->click();
        window_->show();
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn2"), Qt::LeftButton);
        window_->setGeometry(10, 10, 160, 120);
    }
    fs::path inFolder(const char* name) const { return folder_.path() / name; }

    TempDir folder_{"kadrix-clips"};
    TempDir program_{"kadrix-program"};
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

    for (int tick = 0; tick < 3; ++tick)
        w.Timer1Timer();
    EXPECT_EQ(test::control<QProgressBar>(w, "ProgressBar1")->value(), 600);
    EXPECT_EQ(w.frameCounter(), 4);
    for (const char* frame : {"Fr000001.bmp", "Fr000002.bmp", "Fr000003.bmp"})
        EXPECT_TRUE(fs::exists(inFolder(frame))) << frame;

    w.Timer2Timer();
    EXPECT_FALSE(w.recording());
    EXPECT_EQ(framesInClip(inFolder("Vid000001.avi")), 3);
    for (const char* frame : {"Fr000001.bmp", "Fr000002.bmp", "Fr000003.bmp"})
        EXPECT_FALSE(fs::exists(inFolder(frame))) << frame;
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
    EXPECT_EQ(w.videoCounter(), 2) << "the stop step ran twice";
}

TEST_F(ClipRecordingTest, AStrayFrameFileIsTakenInAndKept) {
    TMain& w = *window_;
    w.BitBtn1Click();
    test::control<QTimer>(w, "Timer1")->stop();
    test::control<QTimer>(w, "Timer2")->stop();
    w.Timer1Timer();
    fs::copy_file(inFolder("Fr000001.bmp"), inFolder("Fr999999.bmp"));
    w.Timer1Timer();
    w.Timer2Timer();
    EXPECT_EQ(framesInClip(inFolder("Vid000001.avi")), 3);
    EXPECT_TRUE(fs::exists(inFolder("Fr999999.bmp")));
    EXPECT_FALSE(fs::exists(inFolder("Fr000002.bmp")));
}

TEST_F(ClipRecordingTest, NoFramesSaysSoAndStillTakesTheNumber) {
    TMain& w = *window_;
    w.BitBtn1Click();
    test::control<QTimer>(w, "Timer1")->stop();
    test::control<QTimer>(w, "Timer2")->stop();
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
    w.BitBtn1Click();
    test::control<QTimer>(w, "Timer1")->stop();
    test::control<QTimer>(w, "Timer2")->stop();
    w.Timer1Timer();
    std::system(("chattr +i '" + folder_.str() + "' 2>/dev/null").c_str());
    if (std::ofstream(inFolder("probe"))) {
        std::system(("chattr -i '" + folder_.str() + "' 2>/dev/null").c_str());
        GTEST_SKIP() << "cannot make the folder unwritable here";
    }
    int reports = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++reports;
            box->accept();
        }
    });
    answer.start(10);
    w.Timer1Timer();
    answer.stop();
    std::system(("chattr -i '" + folder_.str() + "' 2>/dev/null").c_str());
    EXPECT_GE(reports, 1);
    EXPECT_LE(reports, 2) << "a report at every step";
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

} // namespace
} // namespace kadrix
