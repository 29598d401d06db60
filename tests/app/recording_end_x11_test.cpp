// SPDX-License-Identifier: GPL-3.0-or-later
// Stray frames stay as they are and out of the clip; "Выход" and SIGTERM
// first write the clip or sound recorded so far (read back by ffprobe and
// sox); a sound that cannot be saved is reported and keeps its number.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "core/picture/bmp_writer.h"
#include "platform/media_services.h"
#include "tests/support/avi_test_support.h"
#include "tests/support/ffmpeg_frames.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/lock_folders.h"
#include "tests/support/program_copy.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"
#include "tests/support/x11_windows.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <iterator>
#include <set>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::control;
using test::waitFor;

// The clip cases run in the session without a sound server, the sound cases
// in the one with it.
#define NEEDS_SOUND(needed)                                                                        \
    if (qEnvironmentVariableIsSet("KADRIX_PULSE_SESSION") != (needed))                             \
    GTEST_SKIP() << "the other session runs this"

std::set<std::string> framesIn(const fs::path& folder) {
    std::set<std::string> frames;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("Fr"))
            frames.insert(entry.path().filename().string());
    return frames;
}

// Headers and frames agree, there is a frame, and no frame file is left.
void expectWholeClip(const fs::path& clip, long atLeast = 1) {
    const test::ClipInfo info = test::probeClip(clip.string());
    EXPECT_GE(info.packets, atLeast) << clip;
    EXPECT_EQ(info.headerFrames, info.packets) << clip;
    EXPECT_EQ(framesIn(clip.parent_path()), std::set<std::string>{});
}

// A WAV file that sox reads, cut well short of the 30 s asked for.
void expectCutSound(const fs::path& sound) {
    QProcess soxi;
    soxi.start("soxi", {"-D", QString::fromStdString(sound.string())});
    soxi.waitForFinished(30000);
    const double seconds = soxi.readAllStandardOutput().trimmed().toDouble();
    EXPECT_GT(seconds, 0.2) << sound;
    EXPECT_LT(seconds, 20) << sound;
}

class RecordingEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(background_.shown()) << background_.failure(); }
    // Starts a recording in the mode, with the frame over the known picture
    // at (200, 150) or maximised.
    void startRecording(const char* mode, int seconds, bool maximised = false) {
        control<DirectoryListBox>(window_, "DirectoryListBox1")->setDirectory(folder_);
        control<QRadioButton>(window_, mode)->click();
        control<QSpinBox>(window_, "SpinEdit1")->setValue(seconds);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_, 20000));
        control<QPushButton>(window_, "BitBtn2")->click();
        maximised ? window_.showMaximized() : window_.setGeometry(frame_);
        ASSERT_TRUE(waitFor(
            [&] { return maximised ? window_.isMaximized() : window_.frameGeometry() == frame_; }));
        ASSERT_TRUE(maximised || test::windowShownOverPicture(window_));
        control<QPushButton>(window_, "BitBtn1")->click();
    }
    // "Выход" in the event loop, which must then end.
    void exitThroughTheMenu() {
        QTimer deadline;
        QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        deadline.start(60000);
        QTimer::singleShot(0, [&] { control<QAction>(window_, "N1")->trigger(); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
    }
    fs::path inFolder(const char* name) const { return fs::path(folder_) / name; }

    test::TempDir dir_{"kadrix-recording-end"};
    std::string folder_ = dir_.str();
    const QRect frame_{200, 150, 320, 240};
    test::WorkingFolder working_{dir_.str()};
    test::LockFolders lock_;
    test::KnownPictureProcess background_;
    TMain window_{chooseServices(), lock_.folders()};
};

TEST_F(RecordingEnd, StrayFramesStayAsTheyAreAndOutOfTheClip) {
    NEEDS_SOUND(false);
    const std::vector<std::byte> grey(320 * 240 * 4, std::byte{0xC0});
    for (const char* stray : {"Fr000001.bmp", "Fr000003.bmp"})
        writeBmp(inFolder(stray), ImageView{320, 240, PixelFormat::Bgrx32, 320 * 4, grey, {}});
    const std::vector<std::byte> stray = test::readFile(inFolder("Fr000001.bmp"));
    const auto reports = test::answerEveryMessageBox([&] {
        startRecording("RadioButton2", 2);
        ASSERT_TRUE(waitFor([&] { return !window_.recording(); }, 30000));
    });
    EXPECT_TRUE(reports.empty()) << reports.front().text.toStdString();
    const QByteArray raw = test::ffmpegFrames(inFolder("Vid000001.avi"), "bgra");
    const qsizetype frameBytes = 320 * 240 * 4;
    EXPECT_GE(raw.size() / frameBytes, 2);
    for (qsizetype f = 0; f < raw.size() / frameBytes; ++f)
        EXPECT_EQ(test::pixelsUnlikeKnownPicture(
                      QImage(reinterpret_cast<const uchar*>(raw.constData() + f * frameBytes), 320,
                             240, QImage::Format_RGB32),
                      {200, 150}),
                  0)
            << "frame " << f << " is not the screen";
    EXPECT_EQ(framesIn(dir_.path()), (std::set<std::string>{"Fr000001.bmp", "Fr000003.bmp"}));
    EXPECT_EQ(test::readFile(inFolder("Fr000001.bmp")), stray);
    EXPECT_EQ(test::readFile(inFolder("Fr000003.bmp")), stray);
    EXPECT_TRUE(control<QLineEdit>(window_, "Edit1")->text().endsWith("/Vid000002.avi"));
}

TEST_F(RecordingEnd, ARequestToShowDuringARecordingOfTheScreenWaitsForItsEnd) {
    NEEDS_SOUND(false);
    startRecording("RadioButton2", 2, true);
    window_.TrayIconClick(); // as a second copy's request does
    EXPECT_FALSE(window_.isVisible()) << "the window is in the frames";
    ASSERT_TRUE(waitFor([&] { return !window_.recording(); }, 30000));
    EXPECT_TRUE(window_.isVisible() && window_.isMaximized());
}

TEST_F(RecordingEnd, ExitDuringAClipRecordingWritesTheClipFirst) {
    NEEDS_SOUND(false);
    startRecording("RadioButton2", 30);
    ASSERT_TRUE(waitFor([&] { return window_.frameCounter() > 4; }));
    exitThroughTheMenu();
    expectWholeClip(inFolder("Vid000001.avi"), 4);
}

TEST_F(RecordingEnd, ExitDuringASoundRecordingSavesTheSoundFirst) {
    NEEDS_SOUND(true);
    startRecording("RadioButton3", 30);
    // Sound inputs start delivering a second or so late.
    auto* bar = control<QProgressBar>(window_, "ProgressBar1");
    ASSERT_TRUE(waitFor([&] { return bar->value() >= 2400; }));
    exitThroughTheMenu();
    expectCutSound(inFolder("ZVUK000001.wav"));
}

TEST_F(RecordingEnd, ASoundThatCannotBeSavedIsReportedAndKeepsItsNumber) {
    NEEDS_SOUND(true);
    const test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    disk.fillLeaving(64 * 1024); // two seconds of sound take six times as much
    folder_ = disk.str();
    const test::SeenMessageBox report = test::answerMessageBox(
        [&] {
            startRecording("RadioButton3", 2);
            ASSERT_TRUE(waitFor([&] { return !window_.soundRecording(); }, 15000));
        },
        15000);
    EXPECT_TRUE(report.text.startsWith(QString::fromStdString(
        "Не удалось сохранить звук в файл \"" + disk.path("ZVUK000001.wav"))));
    EXPECT_TRUE(report.text.contains("No space left on device")) << report.text.toStdString();
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.str()), {}), 1) << "only the filler";
    EXPECT_EQ(window_.counters().next(OutputKind::Sound), 1);
    EXPECT_TRUE(control<QLineEdit>(window_, "Edit1")->text().endsWith("/ZVUK000001.wav"));
}

// The real program, driven as a user drives it, ended by SIGTERM as the end
// of the desktop session ends it.
void sigtermDuringARecording(bool sound) {
    // The copy has a runtime folder of its own.
    test::ProgramCopy program("kadrix-session-end");
    QProcess& kadrix = program.start();
    QString window;
    ASSERT_TRUE(waitFor(
        [&] {
            window = test::windowOfSize(kadrix.processId(), {556, 390});
            return !window.isEmpty() && test::isViewable(window);
        },
        20000));
    const auto click = [&](int x, int y, const QStringList& clicks = {"1"}) {
        test::xdotool(QStringList{"mousemove", "--sync", "--window", window, QString::number(x),
                                  QString::number(y), "click"} +
                      clicks);
    };
    click(sound ? 327 : 285, 155);           // "wav" or "avi"
    click(500, 57, {"--repeat", "28", "4"}); // the wheel: 30 seconds
    const QSize options = test::geometryOf(window).size();
    click(514, 83); // "Готов"
    ASSERT_TRUE(waitFor([&] { return test::geometryOf(window).size() != options; }));
    // The capture button, inside the frame's own border and title strip.
    click(test::geometryOf(window).width() - 4 - 73 + 5 + 24, 24 + 7 + 12 + 12);
    ASSERT_TRUE(waitFor([&] {
        return test::xdotool({"getwindowname", window}) == "Идёт запись...";
    }));
    const fs::path folder = program.folder().path();
    // Sound inputs start delivering a second or so late.
    QElapsedTimer recording;
    recording.start();
    ASSERT_TRUE(waitFor(
        [&] { return sound ? recording.elapsed() > 3000 : fs::exists(folder / "Fr000003.bmp"); }));
    kadrix.terminate();
    ASSERT_TRUE(kadrix.waitForFinished(30000));
    EXPECT_EQ(kadrix.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(kadrix.exitCode(), 0);
    EXPECT_FALSE(fs::exists(program.lockPath()));
    sound ? expectCutSound(folder / "ZVUK000001.wav") : expectWholeClip(folder / "Vid000001.avi");
}

TEST(ProgramEnd, SigtermDuringAClipRecordingEndsTheProgramAfterItsClip) {
    NEEDS_SOUND(false);
    sigtermDuringARecording(false);
}

TEST(ProgramEnd, SigtermDuringASoundRecordingEndsTheProgramAfterItsSound) {
    NEEDS_SOUND(true);
    sigtermDuringARecording(true);
}

// Last in the session: the sound server does not come back.
using SoundServerGone = RecordingEnd;

TEST_F(SoundServerGone, TheSoundSoFarIsSavedAndSaidToBeShorter) {
    NEEDS_SOUND(true);
    const test::SeenMessageBox report = test::answerMessageBox(
        [&] {
            startRecording("RadioButton3", 5);
            auto* bar = control<QProgressBar>(window_, "ProgressBar1");
            ASSERT_TRUE(waitFor([&] { return bar->value() >= 2400; }));
            QProcess::execute("pactl", {"exit"});
            ASSERT_TRUE(waitFor([&] { return !window_.soundRecording(); }, 20000));
        },
        20000);
    EXPECT_TRUE(report.text.contains("\"" + QString::fromStdString(inFolder("ZVUK000001.wav")) +
                                     "\" короче"))
        << report.text.toStdString();
    expectCutSound(inFolder("ZVUK000001.wav"));
    EXPECT_EQ(window_.counters().next(OutputKind::Sound), 2);
}

} // namespace
} // namespace kadrix
