// Recordings that meet files they must not touch, and the program's end in
// the middle of one: stray frames stay as they are and stay out of the clip;
// "Выход" and SIGTERM first write the clip or the sound recorded so far, which
// ffprobe and sox then read; a sound that cannot be saved is reported and
// keeps its number free.
#include "app/UnitMain.h"
#include "browser/directory_list_box.h"
#include "capture/bmp_writer.h"
#include "platform/media_services.h"
#include "platform/platform_services.h"
#include "tests/capture/avi_test_support.h"
#include "tests/support/ffmpeg_frames.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/lock_folders.h"
#include "tests/support/program_copy.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
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
#include <algorithm>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::control;
using test::waitFor;
using test::xdotool;

bool withSoundServer() {
    return qEnvironmentVariableIsSet("KADRIX_PULSE_SESSION");
}

std::vector<std::string> framesIn(const fs::path& folder) {
    std::vector<std::string> frames;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with("Fr"))
            frames.push_back(entry.path().filename().string());
    std::sort(frames.begin(), frames.end());
    return frames;
}

// A clip whose headers and frames agree, with at least one frame and no
// stray frame left beside it; its frame count.
long expectWholeClip(const fs::path& clip) {
    const test::ClipInfo info = test::probeClip(clip.string());
    EXPECT_GT(info.packets, 0) << clip;
    EXPECT_EQ(info.headerFrames, info.packets) << clip;
    EXPECT_EQ(framesIn(clip.parent_path()), std::vector<std::string>{});
    return info.packets;
}

QString soxi(const fs::path& sound, const char* what) {
    QProcess run;
    run.start("soxi", {what, QString::fromStdString(sound.string())});
    run.waitForFinished(30000);
    return QString::fromUtf8(run.readAllStandardOutput()).trimmed();
}

// A WAV file that sox reads, shorter than the 30 s asked for and not empty.
void expectCutSound(const fs::path& sound) {
    ASSERT_TRUE(fs::exists(sound));
    EXPECT_EQ(soxi(sound, "-t"), "wav");
    const double seconds = soxi(sound, "-D").toDouble();
    EXPECT_GT(seconds, 0.2);
    EXPECT_LT(seconds, 20);
}

// Runs the application's event loop, as the program does, until the program
// ends itself; starts with action.
int runUntilTheProgramEnds(const std::function<void()>& action) {
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    deadline.start(60000);
    QTimer::singleShot(0, action);
    return QCoreApplication::exec();
}

// The window over the known picture, recording into a folder of its own.
class RecordingEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (!withSoundServer()) {
            ASSERT_TRUE(background_.shown()) << background_.failure();
        }
        window_.setPlatformServices(choosePlatformServices());
        window_.setSoundRecorder(createSoundRecorder());
        control<DirectoryListBox>(window_, "DirectoryListBox1")->setDirectory(folder_.str());
    }
    // Starts a recording of `seconds` in the mode of the radio button, with
    // the frame at frame (or maximised).
    void startRecording(const char* mode, int seconds, QRect frame = {}) {
        control<QRadioButton>(window_, mode)->click();
        control<QSpinBox>(window_, "SpinEdit1")->setValue(seconds);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_, 20000));
        control<QPushButton>(window_, "BitBtn2")->click();
        if (frame.isEmpty()) {
            window_.showMaximized();
            ASSERT_TRUE(waitFor([&] { return window_.isMaximized(); }));
        } else {
            window_.setGeometry(frame);
            ASSERT_TRUE(waitFor([&] { return window_.frameGeometry() == frame; }));
            ASSERT_TRUE(test::windowShownOverPicture(window_));
        }
        control<QPushButton>(window_, "BitBtn1")->click();
    }
    fs::path inFolder(const char* name) const { return folder_.path() / name; }

    test::TempDir folder_{"kadrix-recording-end"};
    test::WorkingFolder working_{folder_.str()};
    test::LockFolders lock_;
    test::KnownPictureProcess background_;
    TMain window_{lock_.folders()};
};

TEST_F(RecordingEnd, StrayFramesStayAsTheyAreAndOutOfTheClip) {
    if (withSoundServer())
        GTEST_SKIP() << "the session without a sound server runs this";
    // Frames of the same size as the recording's, but not the screen.
    const std::vector<std::byte> magenta(320 * 240 * 4, std::byte{0xC0});
    for (const char* stray : {"Fr000001.bmp", "Fr000003.bmp"})
        writeBmp(inFolder(stray).string(),
                 ImageView{320, 240, PixelFormat::Bgrx32, 320 * 4, magenta, {}});
    const std::vector<std::byte> stray = test::readFile(inFolder("Fr000001.bmp").string());
    const auto reports = test::answerEveryMessageBox([&] {
        startRecording("RadioButton2", 2, {200, 150, 320, 240});
        ASSERT_TRUE(waitFor([&] { return !window_.recording(); }, 30000));
    });
    EXPECT_TRUE(reports.empty()) << reports.front().text.toStdString();

    const test::ClipInfo clip = test::probeClip(inFolder("Vid000001.avi").string());
    EXPECT_GE(clip.packets, 2);
    const QByteArray raw = test::ffmpegFrames(inFolder("Vid000001.avi").string(), "bgra");
    for (qsizetype f = 0; f < raw.size() / (320 * 240 * 4); ++f) {
        const QImage frame(reinterpret_cast<const uchar*>(raw.constData()) + f * 320 * 240 * 4, 320,
                           240, QImage::Format_RGB32);
        EXPECT_EQ(test::pixelsUnlikeKnownPicture(frame, {200, 150}), 0) << "frame " << f;
    }
    EXPECT_EQ(framesIn(folder_.path()), (std::vector<std::string>{"Fr000001.bmp", "Fr000003.bmp"}))
        << "the strays, and none of the recording's";
    EXPECT_EQ(test::readFile(inFolder("Fr000001.bmp").string()), stray);
    EXPECT_EQ(test::readFile(inFolder("Fr000003.bmp").string()), stray);
    EXPECT_TRUE(control<QLineEdit>(window_, "Edit1")->text().endsWith("/Vid000002.avi"));
}

TEST_F(RecordingEnd, ARequestToShowDuringARecordingOfTheScreenWaitsForItsEnd) {
    if (withSoundServer())
        GTEST_SKIP() << "the session without a sound server runs this";
    startRecording("RadioButton2", 2);
    ASSERT_FALSE(window_.isVisible());
    window_.TrayIconClick(); // as a second copy's request does
    EXPECT_FALSE(window_.isVisible()) << "the window is in the frames";
    ASSERT_TRUE(waitFor([&] { return !window_.recording(); }, 30000));
    EXPECT_TRUE(window_.isVisible());
    EXPECT_TRUE(window_.isMaximized());
}

TEST_F(RecordingEnd, ExitDuringAClipRecordingWritesTheClipFirst) {
    if (withSoundServer())
        GTEST_SKIP() << "the session without a sound server runs this";
    startRecording("RadioButton2", 30, {200, 150, 320, 240});
    ASSERT_TRUE(waitFor([&] { return window_.frameCounter() > 4; }));
    EXPECT_EQ(runUntilTheProgramEnds([&] { control<QAction>(window_, "N1")->trigger(); }), 0);
    EXPECT_GE(expectWholeClip(inFolder("Vid000001.avi")), 4);
}

TEST_F(RecordingEnd, ExitDuringASoundRecordingSavesTheSoundFirst) {
    if (!withSoundServer())
        GTEST_SKIP() << "needs the private sound server of scripts/pulse-session";
    startRecording("RadioButton3", 30, {200, 150, 320, 240});
    auto* bar = control<QProgressBar>(window_, "ProgressBar1");
    ASSERT_TRUE(waitFor([&] { return bar->value() >= 2400; })) << "some sound is in";
    EXPECT_EQ(runUntilTheProgramEnds([&] { control<QAction>(window_, "N1")->trigger(); }), 0);
    expectCutSound(inFolder("ZVUK000001.wav"));
}

// Run as root (as in CI): a folder on a file system too small for the sound.
TEST_F(RecordingEnd, ASoundThatCannotBeSavedIsReportedAndKeepsItsNumber) {
    if (!withSoundServer())
        GTEST_SKIP() << "needs the private sound server of scripts/pulse-session";
    const fs::path small = inFolder("small");
    fs::create_directory(small);
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs",
                                    QString::fromStdString(small.string())}) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (CI runs this as root)";
    control<DirectoryListBox>(window_, "DirectoryListBox1")->setDirectory(small.string());
    const test::SeenMessageBox report = test::answerMessageBox(
        [&] {
            startRecording("RadioButton3", 2, {200, 150, 320, 240});
            ASSERT_TRUE(waitFor([&] { return !window_.soundRecording(); }, 15000));
        },
        15000);
    const bool empty = fs::is_empty(small);
    QProcess::execute("umount", {"-l", QString::fromStdString(small.string())});
    ASSERT_TRUE(report.shown) << "a full disk goes unreported";
    EXPECT_TRUE(report.text.startsWith("Не удалось сохранить звук в файл \"" +
                                       QString::fromStdString((small / "ZVUK000001.wav").string())))
        << report.text.toStdString();
    EXPECT_TRUE(empty) << "no file, whole or in part";
    EXPECT_EQ(window_.soundCounter(), 1);
    EXPECT_TRUE(control<QLineEdit>(window_, "Edit1")->text().endsWith("/ZVUK000001.wav"));
}

// The real program, driven as a user drives it, then ended by SIGTERM as the
// desktop session ends it.
class ProgramEnd : public ::testing::Test {
protected:
    // Starts a 30-second recording in the mode at the mode button's place.
    void startRecording(QPoint modeButton) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime_.str()));
        kadrix_ = &program_.start(environment);
        QString window;
        ASSERT_TRUE(waitFor(
            [&] {
                window = test::windowOfSize(kadrix_->processId(), {556, 390});
                return !window.isEmpty() && test::isViewable(window);
            },
            20000));
        const auto click = [&](QPoint at, const QStringList& clicks = {"1"}) {
            xdotool(QStringList{"mousemove", "--sync", "--window", window, QString::number(at.x()),
                                QString::number(at.y()), "click"} +
                    clicks);
        };
        click(modeButton);
        // The wheel over the seconds: 2 up to 30.
        click({500, 57}, {"--repeat", "28", "4"});
        const QSize options = test::geometryOf(window).size();
        click({514, 83}); // "Готов"
        ASSERT_TRUE(waitFor([&] { return test::geometryOf(window).size() != options; }));
        const QRect frame = test::geometryOf(window);
        // The capture button, inside the frame's own border and title strip.
        click({4 + frame.width() - 8 - 73 + 5 + 24, 24 + 7 + 12 + 12});
        ASSERT_TRUE(waitFor([&] {
            return xdotool({"getwindowname", window}) == "Идёт запись...";
        }));
    }
    void endBySigterm() {
        kadrix_->terminate();
        ASSERT_TRUE(kadrix_->waitForFinished(30000));
        EXPECT_EQ(kadrix_->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(kadrix_->exitCode(), 0);
        EXPECT_FALSE(fs::exists(program_.lockPath()));
    }
    fs::path inFolder(const char* name) const { return program_.folder().path() / name; }

    test::ProgramCopy program_{"kadrix-session-end"};
    test::TempDir runtime_{"kadrix-runtime"};
    QProcess* kadrix_ = nullptr;
};

TEST_F(ProgramEnd, SigtermDuringAClipRecordingEndsTheProgramAfterItsClip) {
    if (withSoundServer())
        GTEST_SKIP() << "the session without a sound server runs this";
    startRecording({285, 155}); // "avi"
    ASSERT_TRUE(waitFor([&] { return fs::exists(inFolder("Fr000003.bmp")); }));
    endBySigterm();
    expectWholeClip(inFolder("Vid000001.avi"));
}

TEST_F(ProgramEnd, SigtermDuringASoundRecordingEndsTheProgramAfterItsSound) {
    if (!withSoundServer())
        GTEST_SKIP() << "needs the private sound server of scripts/pulse-session";
    startRecording({327, 155}); // "wav"
    // Sound inputs start delivering a second or so late.
    QElapsedTimer recording;
    recording.start();
    waitFor([&] { return recording.elapsed() > 3000; }, 5000);
    endBySigterm();
    expectCutSound(inFolder("ZVUK000001.wav"));
}

} // namespace
} // namespace kadrix
