// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer opened from the main window on an X server: a double click on
// the preview opens the picture at its real size, a double click on a clip
// plays it in the viewer's own player; the viewer is made on first use and
// kept.
#include "convert/viewer_window.h"
#include "tests/support/convert_test_support.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/screen_colors.h"
#include "tests/support/shown_main_window.h"
#include "tests/support/test_clip.h"
#include "tests/support/test_files.h"
#include "ui/media_player_bar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::control;
using test::waitFor;

class MainWindowViewerTest : public test::ShownMainWindowTest {
protected:
    MainWindowViewerTest() : ShownMainWindowTest("kadrix-main-viewer") {}

    void writePicture(const std::string& name, int width, int height) {
        test::writeFile(dir_.path(name),
                        test::makeBmp({24, width, height, false, {}, [](int x, int y) {
                                           return static_cast<std::uint32_t>((x * 3) << 16 |
                                                                             (y * 5) << 8 | 64);
                                       }}));
        files().reload();
    }

    TVid* viewer() const { return window_->findChild<TVid*>("TVid"); }

    // Double-clicks the preview (or the listed clip) and runs body while the
    // viewer it opens is shown; the viewer is closed by a double click on its
    // surface (or on Panel1). The viewer's modal loop only ends when it is
    // closed, and opening a clip runs events before the viewer shows, so a
    // ticking timer waits for it rather than a blocking wait, and closes it
    // even when the body fails.
    void whileViewerOpen(const std::function<void(TVid&)>& body, const std::string& clip = {}) {
        bool ran = false;
        QElapsedTimer waited;
        waited.start();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            TVid* v = viewer();
            if (!v || !v->isVisible()) {
                if (waited.elapsed() > 30000)
                    tick.stop();
                return;
            }
            if (!ran && v->isActiveWindow()) {
                ran = true;
                body(*v);
                // Sent to what stands at the point, as the mouse would be.
                const QPoint at = clip.empty() ? QPoint(2, 2) : v->rect().center();
                QWidget* under = clip.empty() ? v : v->childAt(at);
                QTest::mouseDClick(under, Qt::LeftButton, {}, under->mapFrom(v, at));
            }
            if (v->isVisible() && (ran || waited.elapsed() > 30000)) {
                ADD_FAILURE() << (ran ? "the double click did not close the viewer"
                                      : "the viewer did not become active");
                v->close();
            }
        });
        tick.start(50);
        if (clip.empty())
            QTest::mouseDClick(get<QLabel>("Image1"), Qt::LeftButton, {}, QPoint(20, 20));
        else
            QTest::mouseDClick(files().viewport(), Qt::LeftButton, {},
                               test::placeOfListed(files(), clip));
        EXPECT_TRUE(ran);
        ASSERT_NE(viewer(), nullptr);
        EXPECT_FALSE(viewer()->isVisible()) << "the double click on the surface did not close it";
    }
};

TEST_F(MainWindowViewerTest, ADoubleClickOnThePreviewOpensThePictureAtItsRealSize) {
    EXPECT_EQ(viewer(), nullptr) << "the viewer is made on first use, not at start";
    writePicture("Pic000001.bmp", 80, 50);
    writePicture("Pic000002.bmp", 30, 20);
    click("Pic000001.bmp");
    ASSERT_TRUE(waitFor([&] { return get<QFrame>("Panel3")->isVisible(); }));

    whileViewerOpen([&](TVid& v) {
        EXPECT_EQ(window_->selectedFile(), dir_.path("Pic000001.bmp"));
        EXPECT_TRUE(v.isModal());
        EXPECT_EQ(v.windowTitle(), "Просмотр изображения");
        ASSERT_TRUE(waitFor([&] { return !v.shownPicture().isNull(); }));
        EXPECT_EQ(v.shownPicture().size(), QSize(80, 50));
        EXPECT_EQ(control<QLineEdit>(v, "MaskEdit1")->displayText().trimmed(), "50");
        control<QLineEdit>(v, "Edit1")->setText("kept");
    });
    TVid* first = viewer();

    click("Pic000002.bmp");
    EXPECT_EQ(window_->selectedFile(), dir_.path("Pic000002.bmp"));
    whileViewerOpen([&](TVid& v) {
        EXPECT_EQ(&v, first) << "the viewer is reused";
        EXPECT_EQ(window_->selectedFile(), dir_.path("Pic000002.bmp"));
        ASSERT_TRUE(waitFor([&] { return !v.shownPicture().isNull(); }));
        EXPECT_EQ(v.shownPicture().size(), QSize(30, 20));
        EXPECT_EQ(control<QLineEdit>(v, "Edit1")->text(), "kept") << "nothing is reset on closing";
    });
}

// A size field takes every height up to five digits, and a clip that the
// viewer's player cannot show is refused in words before the viewer opens.
TEST_F(MainWindowViewerTest, AFiveDigitHeightIsTakenAndA16BitClipIsRefusedInWords) {
    writePicture("Pic000001.bmp", 30, 20);
    click("Pic000001.bmp");
    ASSERT_TRUE(waitFor([&] { return get<QFrame>("Panel3")->isVisible(); }));
    whileViewerOpen([&](TVid& v) {
        auto* height = control<QLineEdit>(v, "MaskEdit1");
        height->selectAll();
        QTest::keyClicks(height, "16383");
        EXPECT_EQ(height->displayText().trimmed(), "16383");
        // Whole in the field: the text is not scrolled past its first digit.
        EXPECT_EQ(height->cursorPositionAt(QPoint(3, height->height() / 2)), 0);
    });

    test::writeBlueToLimeClip(dir_, "Vid16.avi", 16);
    get<QRadioButton>("RadioButton2")->click();
    files().reload();
    // A viewer that opens all the same is closed, so that the test goes on.
    bool viewerShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (viewer() && viewer()->isVisible()) {
            viewerShown = true;
            viewer()->close();
        }
    });
    closer.start(50);
    EXPECT_TRUE(test::answerMessageBox([&] { click("Vid16.avi"); }).text.contains("16-битного"))
        << "the preview refuses it";
    const auto refused = test::answerMessageBox([&] { QTest::keyClick(&files(), Qt::Key_Return); });
    EXPECT_EQ(refused.icon, QMessageBox::Critical);
    EXPECT_TRUE(refused.text.contains("16-битного цвета")) << refused.text.toStdString();
    EXPECT_TRUE(refused.text.contains("Vid16.avi"));
    EXPECT_FALSE(viewerShown);
}

// What the screen shows at the middle of widget, near enough to want.
bool showsAtMiddle(const QWidget& widget, QColor want) {
    return test::near(test::screenColorAt(widget.mapToGlobal(widget.rect().center())), want, 8);
}

TEST_F(MainWindowViewerTest, ADoubleClickedClipPlaysInTheViewerAndStaysOpenUntilTheNextClipClick) {
    test::writeBlueToLimeClip(dir_, "Vid000001.avi");
    get<QRadioButton>("RadioButton2")->click();
    files().reload();
    auto* mainPlayer = get<MediaPlayerBar>("MediaPlayer1");
    click("Vid000001.avi");
    ASSERT_TRUE(waitFor([&] { return mainPlayer->isOpen(); }, 20000));

    MediaPlayerBar* viewerPlayer = nullptr;
    whileViewerOpen(
        [&](TVid& v) {
            EXPECT_FALSE(mainPlayer->isOpen()) << "one clip in one player at a time";
            viewerPlayer = control<MediaPlayerBar>(v, "MediaPlayer2");
            ASSERT_TRUE(viewerPlayer->isOpen());
            auto* panel = control<QFrame>(v, "Panel1");
            EXPECT_TRUE(panel->isVisible());
            EXPECT_EQ(panel->geometry(), v.rect()) << "the clip fills the window";
            auto* group = control<QWidget>(v, "GroupBox1");
            EXPECT_TRUE(group->isVisible());
            EXPECT_EQ(group->x(), 0);
            EXPECT_FALSE(control<QWidget>(v, "GroupBox2")->isVisible());
            EXPECT_FALSE(control<QWidget>(v, "GroupBox3")->isVisible());
            EXPECT_TRUE(waitFor([&] { return showsAtMiddle(*panel, QColor(0, 0, 255)); }, 20000))
                << "the first frame shows at once";
            QTest::mouseClick(viewerPlayer->button(MediaPlayerBar::Play), Qt::LeftButton);
            EXPECT_TRUE(waitFor([&] { return showsAtMiddle(*panel, QColor(0, 255, 0)); }, 20000))
                << "playing reaches the last frame";
        },
        "Vid000001.avi");
    ASSERT_NE(viewerPlayer, nullptr);
    EXPECT_TRUE(viewerPlayer->isOpen()) << "closing the viewer leaves the clip open";
    EXPECT_FALSE(mainPlayer->isOpen());

    click("Vid000001.avi");
    EXPECT_FALSE(viewerPlayer->isOpen()) << "the preview's clip click closes the viewer's clip";
    EXPECT_TRUE(waitFor([&] { return mainPlayer->isOpen(); }, 20000));
}

} // namespace
} // namespace kadrix
