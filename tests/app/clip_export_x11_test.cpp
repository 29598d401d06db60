// SPDX-License-Identifier: GPL-3.0-or-later
// The file list's exports in the real window on a private X server: the
// menu's items in the "avi" mode only, an export running beside the window
// with the progress bar moving, a second one refused, the title saying the
// file is there, a failure reported, and the end of the program mid-export
// leaving no file behind.
#include "app/main_window.h"
#include "browser/file_list_box.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/screen_clip.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::control;

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ClipExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Large enough that an export takes several progress steps.
        test::writeScreenClip(folder_.path(), "Vid000001.avi", 640, 480, 32, 40);
        window_ = std::make_unique<TMain>(test::testServices(), lock_.folders());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        control<QRadioButton>(*window_, "RadioButton2")->setChecked(true);
    }

    void select(const QString& name) const {
        auto& list = *control<FileListBox>(*window_, "FileListBox1");
        const auto found = list.findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list.setCurrentItem(found.front());
    }
    void trigger(const char* item) const { control<QAction>(*window_, item)->trigger(); }
    QProgressBar& bar() const { return *control<QProgressBar>(*window_, "ProgressBar1"); }

    test::TempDir folder_{"kadrix-export-window"};
    test::WorkingFolder working_{folder_.str()};
    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
};

TEST_F(ClipExportTest, TheExportsFollowTheListsOwnItemsInTheAviModeOnly) {
    const QStringList own = {"Переименовать", "Удалить", "Отправить по почте"};
    for (const char* mode : {"RadioButton1", "RadioButton2", "RadioButton3", "RadioButton4"}) {
        control<QRadioButton>(*window_, mode)->setChecked(true);
        QStringList shown;
        for (const QAction* item : control<QMenu>(*window_, "PopupMenu2")->actions())
            if (item->isVisible())
                shown << item->text();
        const QStringList expected =
            std::string_view(mode) == "RadioButton2"
                ? own + QStringList{"Сохранить как MP4", "Сохранить как WebM", "Сохранить как GIF"}
                : own;
        EXPECT_EQ(shown, expected) << mode;
    }
}

TEST_F(ClipExportTest, AnExportRunsBesideTheWindowShowingItsProgress) {
    select("Vid000001.avi");
    trigger("N8");
    // The handler has returned and the export goes on.
    EXPECT_TRUE(bar().isVisible());
    EXPECT_FALSE(fs::exists(folder_.path("Vid000001.mp4")));
    const test::SeenMessageBox refused = test::answerMessageBox([&] { trigger("N10"); });
    EXPECT_TRUE(refused.text.startsWith("Клип уже сохраняется")) << refused.text.toStdString();

    // The window's own timer keeps ticking while the export runs.
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longestPause = 0;
    QTimer ticks;
    ticks.setInterval(20);
    QObject::connect(&ticks, &QTimer::timeout,
                     [&] { longestPause = std::max(longestPause, sinceTick.restart()); });
    ticks.start();
    std::vector<int> steps;
    // The title says it for a moment, inside the handler that ends the export.
    bool titleSaid = false;
    QObject::connect(window_.get(), &QWidget::windowTitleChanged, [&](const QString& title) {
        titleSaid = titleSaid || title == "Vid000001.mp4 создан";
    });
    ASSERT_TRUE(test::waitFor(
        [&] {
            if (bar().isVisible() && (steps.empty() || steps.back() != bar().value()))
                steps.push_back(bar().value());
            return titleSaid && !bar().isVisible();
        },
        120000));
    EXPECT_LT(longestPause, 1000);
    EXPECT_GE(steps.size(), 4u);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_EQ(filesIn(folder_.path()),
              (std::vector<std::string>{"Vid000001.avi", "Vid000001.mp4"}));
    // The "avi" mode does not list it; the "все" mode lists a GIF made while
    // it was on, without reading the folder again.
    trigger("N10");
    control<QRadioButton>(*window_, "RadioButton4")->setChecked(true);
    ASSERT_TRUE(test::waitFor([&] { return !bar().isVisible(); }, 120000));
    EXPECT_EQ(control<FileListBox>(*window_, "FileListBox1")
                  ->findItems("Vid000001.gif", Qt::MatchExactly)
                  .size(),
              1);
}

TEST_F(ClipExportTest, AFailureIsReportedInRussianNamingTheFile) {
    test::writeFile(folder_.path("broken.avi"), "not a clip");
    control<QRadioButton>(*window_, "RadioButton1")->setChecked(true);
    control<QRadioButton>(*window_, "RadioButton2")->setChecked(true);
    select("broken.avi");
    const test::SeenMessageBox report = test::answerMessageBox([&] { trigger("N9"); }, 60000);
    EXPECT_EQ(report.text.toStdString(),
              "Не удалось сохранить " + folder_.path("broken.webm") +
                  ": клип не читается: он повреждён или это не клип AVI.");
    EXPECT_FALSE(fs::exists(folder_.path("broken.webm")));
}

TEST_F(ClipExportTest, EndingTheProgramMidExportLeavesNoFile) {
    select("Vid000001.avi");
    trigger("N10");
    ASSERT_TRUE(test::waitFor([&] { return bar().value() > 0; }));
    EXPECT_EQ(filesIn(folder_.path()).size(), 2u); // the clip and the temporary file
    trigger("N1");
    window_.reset();
    EXPECT_EQ(filesIn(folder_.path()), std::vector<std::string>{"Vid000001.avi"});
}

} // namespace
} // namespace kadrix
