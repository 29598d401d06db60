// SPDX-License-Identifier: GPL-3.0-or-later
// Sound recorded through the real window from a real sound server: a
// private one whose default input plays a 440 Hz tone (scripts/pulse-session),
// and none at all. sox reads what was written.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "platform/media_services.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::control;
using test::waitFor;

QString sox(const QStringList& arguments) {
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start("sox", arguments);
    run.waitForFinished(30000);
    return QString::fromUtf8(run.readAll());
}

QString soxInfo(const std::string& path, const char* what) {
    QProcess run;
    run.start("soxi", {what, QString::fromStdString(path)});
    run.waitForFinished(30000);
    return QString::fromUtf8(run.readAllStandardOutput()).trimmed();
}

// The strongest frequency of the first channel, from sox's DFT.
double peakFrequency(const std::string& path) {
    const QString out = sox({QString::fromStdString(path), "-n", "remix", "1", "stat", "-freq"});
    double best = 0, bestLevel = -1;
    for (const QString& line : out.split('\n')) {
        const QStringList fields = line.simplified().split(' ');
        bool frequencyOk = false, levelOk = false;
        if (fields.size() != 2)
            continue;
        const double frequency = fields[0].toDouble(&frequencyOk);
        const double level = fields[1].toDouble(&levelOk);
        if (frequencyOk && levelOk && level > bestLevel) {
            best = frequency;
            bestLevel = level;
        }
    }
    return best;
}

double rmsAmplitude(const std::string& path) {
    for (const QString& line : sox({QString::fromStdString(path), "-n", "stat"}).split('\n'))
        if (line.startsWith("RMS     amplitude:"))
            return line.section(':', 1).trimmed().toDouble();
    return -1;
}

class SoundRecordingX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!qEnvironmentVariableIsSet("KADRIX_PULSE_SESSION"))
            GTEST_SKIP() << "needs the private sound server of scripts/pulse-session";
        open();
    }
    void open() {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        window_ = std::make_unique<TMain>(chooseServices(), lock_.folders());
        control<DirectoryListBox>(*window_, "DirectoryListBox1")->setDirectory(folder_.str());
        control<QRadioButton>(*window_, "RadioButton3")->click();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 20000));
        control<QPushButton>(*window_, "BitBtn2")->click();
    }
    // Records `seconds` with the capture button; returns how long the window
    // took to come back.
    qint64 record(int seconds) {
        control<QSpinBox>(*window_, "SpinEdit1")->setValue(seconds);
        QElapsedTimer took;
        took.start();
        control<QPushButton>(*window_, "BitBtn1")->click();
        EXPECT_TRUE(window_->soundRecording());
        EXPECT_TRUE(waitFor([&] { return !window_->soundRecording(); }, (seconds + 10) * 1000));
        return took.elapsed();
    }

    test::TempDir folder_{"kadrix-sounds"};
    // Reading the file list moves into the folder listed.
    test::WorkingFolder working_;
    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

TEST_F(SoundRecordingX11, RecordsExactlyTheChosenSecondsOfTheDefaultInput) {
    int number = 1;
    for (const int seconds : {2, 5}) {
        const std::string path = folder_.path("ZVUK00000" + std::to_string(number) + ".wav");
        ASSERT_EQ(control<QLineEdit>(*window_, "Edit1")->text().toStdString(), path);
        control<QSpinBox>(*window_, "SpinEdit1")->setValue(seconds);
        control<QPushButton>(*window_, "BitBtn1")->click();
        EXPECT_EQ(control<QProgressBar>(*window_, "ProgressBar1")->maximum(), seconds * 1000);
        EXPECT_EQ(window_->windowTitle(), "Идёт запись...");
        ASSERT_TRUE(waitFor([&] { return !window_->soundRecording(); }, (seconds + 10) * 1000));
        ++number;

        ASSERT_TRUE(fs::exists(path)) << seconds << " s";
        EXPECT_EQ(soxInfo(path, "-t"), "wav");
        EXPECT_EQ(soxInfo(path, "-b"), "16");
        // One 50 ms chunk either way at most; in fact the length is exact.
        EXPECT_NEAR(soxInfo(path, "-D").toDouble(), seconds, 0.05) << seconds << " s";
        EXPECT_NEAR(peakFrequency(path), 440, 15) << "the default input, not the first one";
        EXPECT_GT(rmsAmplitude(path), 0.1) << "sound, not silence";
        EXPECT_TRUE(control<QLineEdit>(*window_, "Edit1")
                        ->text()
                        .endsWith(QString("/ZVUK00000%1.wav").arg(number)));
        EXPECT_EQ(window_->counters().next(OutputKind::Sound), number);
        EXPECT_FALSE(control<QTimer>(*window_, "Timer3")->isActive());
        EXPECT_FALSE(control<QTimer>(*window_, "Timer4")->isActive());
        EXPECT_NE(window_->windowTitle(), "wav создан");
    }
}

TEST_F(SoundRecordingX11, AMaximisedWindowHidesWhileRecordingAndComesBackMaximised) {
    window_->showMaximized();
    ASSERT_TRUE(waitFor([&] { return window_->isMaximized() && window_->isVisible(); }));
    control<QSpinBox>(*window_, "SpinEdit1")->setValue(2);
    control<QPushButton>(*window_, "BitBtn1")->click();
    EXPECT_FALSE(window_->isVisible());
    ASSERT_TRUE(waitFor([&] { return !window_->soundRecording(); }, 15000));
    EXPECT_TRUE(window_->isVisible());
    EXPECT_TRUE(window_->isMaximized());
    EXPECT_FALSE(window_->recording()) << "the clip recording's state stays clear";
    EXPECT_TRUE(fs::exists(folder_.path("ZVUK000001.wav")));
}

// Run without scripts/pulse-session; the server is pointed at nowhere, so
// that no sound server of the machine's own is found either.
class SoundRecordingNoServerX11 : public SoundRecordingX11 {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsSet("KADRIX_PULSE_SESSION"))
            GTEST_SKIP() << "needs a session without a sound server";
        qputenv("PULSE_SERVER", "unix:/nonexistent/kadrix-no-server");
        open();
    }
};

TEST_F(SoundRecordingNoServerX11, NoFileButTheCounterAdvancesAndTheWindowComesBack) {
    const qint64 took = record(3);
    EXPECT_LE(took, (3 + 3) * 1000);
    EXPECT_FALSE(fs::exists(folder_.path("ZVUK000001.wav")));
    EXPECT_TRUE(fs::is_empty(folder_.path()));
    EXPECT_EQ(window_->counters().next(OutputKind::Sound), 2);
    EXPECT_TRUE(control<QLineEdit>(*window_, "Edit1")->text().endsWith("/ZVUK000002.wav"));
    EXPECT_TRUE(control<QPushButton>(*window_, "BitBtn1")->isEnabled());
}

} // namespace
} // namespace kadrix
