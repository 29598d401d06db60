// SPDX-License-Identifier: GPL-3.0-or-later
// The sound recording's steps in the real window, with a recorder that
// records silence at once.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "core/error.h"
#include "tests/support/fake_media.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
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
using test::TempDir;

class SoundRecordingTest : public ::testing::Test {
protected:
    void start(bool hasInput = true, std::chrono::milliseconds stopTakes = {}) {
        auto recorder = std::make_unique<test::FakeSoundRecorder>(calls_, hasInput);
        recorder->stopTakes = stopTakes;
        Services services = test::testServices();
        services.recorder = std::move(recorder);
        window_ = std::make_unique<TMain>(std::move(services), lock_.folders());
        control<DirectoryListBox>(*window_, "DirectoryListBox1")->setDirectory(folder_.str());
        control<QRadioButton>(*window_, "RadioButton3")->click();
        window_->show();
        control<QPushButton>(*window_, "BitBtn2")->click();
        QObject::connect(window_.get(), &QWidget::windowTitleChanged,
                         [this](const QString& title) { captions_ << title; });
    }
    template <typename T> T* find(const char* name) { return control<T>(*window_, name); }

    TempDir folder_{"kadrix-sounds"};
    // Reading the file list moves into the folder listed.
    test::WorkingFolder working_;
    test::LockFolders lock_;
    std::shared_ptr<test::MediaCalls> calls_ = std::make_shared<test::MediaCalls>();
    std::unique_ptr<TMain> window_;
    QStringList captions_;
};

TEST_F(SoundRecordingTest, ARecordingRunsTheDeviceStepsAndPutsEverythingBack) {
    start();
    TMain& w = *window_;
    w.setWindowTitle("Kadrix");
    find<QSpinBox>("SpinEdit1")->setValue(5);
    ASSERT_EQ(find<QPushButton>("BitBtn1")->text(), "Звук");
    const QString path = find<QLineEdit>("Edit1")->text();
    ASSERT_TRUE(path.endsWith("/ZVUK000001.wav"));
    captions_.clear();

    find<QPushButton>("BitBtn1")->click();
    auto* bar = find<QProgressBar>("ProgressBar1");
    auto* progress = find<QTimer>("Timer3");
    auto* stop = find<QTimer>("Timer4");
    EXPECT_EQ(calls_->calls, (std::vector<std::string>{"open", "record"}));
    EXPECT_EQ(calls_->recordLength, std::chrono::milliseconds(5000));
    EXPECT_EQ(stop->interval(), 5000);
    EXPECT_TRUE(stop->isActive());
    EXPECT_TRUE(progress->isActive());
    EXPECT_EQ(bar->maximum(), 5000);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_FALSE(find<QPushButton>("BitBtn1")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("BitBtn2")->isEnabled());
    EXPECT_FALSE(find<QSpinBox>("SpinEdit1")->isEnabled());
    EXPECT_EQ(w.windowTitle(), "Идёт запись...");
    // The test gives the ticks itself.
    progress->stop();
    stop->stop();
    w.Timer3Timer();
    w.Timer3Timer();
    EXPECT_EQ(bar->value(), 400) << "a step of 200 a tick";

    w.Timer4Timer();
    EXPECT_EQ(calls_->calls, (std::vector<std::string>{"open", "record", "stop", "save", "close"}));
    EXPECT_EQ(calls_->path, path.toStdString());
    EXPECT_TRUE(fs::exists(path.toStdString()));
    EXPECT_EQ(captions_,
              (QStringList{"Идёт запись...", "Создание wav...", "wav создан", "Kadrix"}));
    EXPECT_EQ(w.counters().next(OutputKind::Sound), 2);
    EXPECT_TRUE(find<QLineEdit>("Edit1")->text().endsWith("/ZVUK000002.wav"));
    EXPECT_FALSE(progress->isActive());
    EXPECT_FALSE(stop->isActive());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(find<QPushButton>("BitBtn1")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("BitBtn2")->isEnabled());
    EXPECT_TRUE(find<QSpinBox>("SpinEdit1")->isEnabled());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(SoundRecordingTest, WithoutASoundInputNoFileButTheCounterAdvances) {
    start(false);
    find<QPushButton>("BitBtn1")->click();
    window_->Timer4Timer();
    EXPECT_EQ(calls_->calls, (std::vector<std::string>{"open", "record"}))
        << "stop, save and close need an open device";
    EXPECT_FALSE(fs::exists(folder_.path() / "ZVUK000001.wav"));
    EXPECT_EQ(window_->counters().next(OutputKind::Sound), 2);
    EXPECT_TRUE(captions_.contains("wav создан"));
    EXPECT_FALSE(find<QTimer>("Timer4")->isActive());
}

TEST_F(SoundRecordingTest, TheStopStepRunsOnceWhenAMessageBoxIsOpenAtItsExpiry) {
    // The wait for the last of the sound outlasts the stop timer's interval.
    start(true, std::chrono::milliseconds(2500));
    // A box opened before the stop timer falls due and left open past two
    // of its intervals: the timer expires inside the box's own event loop.
    QTimer::singleShot(1000, [] {
        QTimer::singleShot(5500, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->accept();
        });
        QMessageBox::information(nullptr, "Kadrix", "open");
    });
    find<QPushButton>("BitBtn1")->click();
    ASSERT_TRUE(test::waitFor([&] { return !window_->soundRecording(); }, 10000));
    QTest::qWait(3000);
    EXPECT_EQ(captions_.count("wav создан"), 1);
    EXPECT_EQ(window_->counters().next(OutputKind::Sound), 2);
    EXPECT_EQ(std::count(calls_->calls.begin(), calls_->calls.end(), "save"), 1);
    EXPECT_FALSE(find<QTimer>("Timer4")->isActive());
}

} // namespace
} // namespace kadrix
