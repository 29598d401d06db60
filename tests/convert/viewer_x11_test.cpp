// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer window on a real X server with a window manager: the picture at
// its place on the screen, the captioned JPEG save read back by Pillow, the
// refusals and errors, and closing by a double click.
#include "convert/viewer_window.h"
#include "core/rounding.h"
#include "platform/media_services.h"
#include "tests/browser/browser_test_support.h"
#include "tests/support/convert_test_support.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/screen_colors.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_files.h"
#include "ui/error_report.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::control;
using test::waitFor;

constexpr int pictureWidth = 640;
constexpr int pictureHeight = 480;

// The picture: gradients, and in its top-right quarter white pixels at odd
// columns of odd rows on black, so that a halving which takes the pixel
// under each centre shows white there and one that takes the top-left
// pixel of each pair shows black.
QRgb picturePixel(int x, int y) {
    if (x >= 320 && y < 240)
        return x % 2 == 1 && y % 2 == 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    return qRgb(x * 255 / 639, y * 255 / 479, 96);
}

int rounded(double value) {
    return static_cast<int>(roundHalfEven(value));
}

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        test::writeFile(
            picturePath_,
            test::makeBmp({24, pictureWidth, pictureHeight, false, {}, [](int x, int y) {
                               return static_cast<std::uint32_t>(picturePixel(x, y) & 0xFFFFFF);
                           }}));
        viewer_ = std::make_unique<TVid>(
            ViewerServices{&showErrorReport, &showMessage, createClipPlayer});
    }

    // Opens the picture layout on path and runs body while the viewer is
    // shown and has painted; closes the viewer afterwards if body did not.
    void whileOpen(const std::string& path, const std::function<void()>& body) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(waitFor([&] { return viewer_->isActiveWindow(); }, 20000));
            body();
            ran = true;
            viewer_->close();
        });
        viewer_->openPicture(path);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(viewer_->isVisible());
    }
    void whileOpen(const std::function<void()>& body) {
        whileOpen(picturePath_, [&] {
            ASSERT_TRUE(waitFor([&] { return !viewer_->shownPicture().isNull(); }));
            body();
        });
    }

    QLineEdit& field(const char* name) { return *control<QLineEdit>(*viewer_, name); }
    QString heightField() { return field("MaskEdit1").displayText().trimmed(); }
    QString widthField() { return field("MaskEdit2").displayText().trimmed(); }

    // Types a height and clicks "Сохранить в JPG"; a message box that the
    // click opens is answered once it has the focus, as a user answers it.
    test::SeenMessageBox saveAtHeight(const QString& height) {
        field("MaskEdit1").setText(height);
        test::SeenMessageBox seen;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isActiveWindow() || seen.shown)
                return;
            seen = {true, box->windowTitle(), box->text(), box->icon(),
                    static_cast<int>(box->buttons().size())};
            box->button(QMessageBox::Ok)->click();
        });
        poll.start();
        QTest::mouseClick(control<QPushButton>(*viewer_, "BitBtn1"), Qt::LeftButton);
        return seen;
    }

    // The picture's pixels at a few places on the screen, painted 1:1 with
    // its top left corner at origin (window coordinates).
    void expectOnScreen(QPoint origin, QSize size, const std::function<QRgb(int, int)>& pixel) {
        const QPoint places[] = {{0, 0},
                                 {size.width() - 1, size.height() - 1},
                                 {size.width() / 3, size.height() / 5},
                                 {size.width() - 2, 1},
                                 {size.width() * 3 / 4 + 1, size.height() / 4 + 1}};
        for (const QPoint at : places) {
            const QPoint global = viewer_->mapToGlobal(origin + at);
            EXPECT_TRUE(waitFor(
                [&] { return test::screenColorAt(global).rgb() == pixel(at.x(), at.y()); }, 3000))
                << "picture pixel " << at.x() << "," << at.y() << " shows as " << std::hex
                << test::screenColorAt(global).rgb() << " instead of " << pixel(at.x(), at.y());
        }
    }

    test::TempDir dir_{"kadrix-viewer"};
    std::string picturePath_ = dir_.path("Pic000001.bmp");
    std::string jpegPath_ = dir_.path("Pic000001.JPG");
    std::unique_ptr<TVid> viewer_;
};

TEST_F(ViewerTest, ThePictureInTheMiddleAndItsCaptionedHalfSaved) {
    const std::vector<std::byte> pictureBytes = test::readFile(picturePath_);
    whileOpen([&] {
        TVid& v = *viewer_;
        ASSERT_TRUE(v.isMaximized());
        const QRect outer = v.frameGeometry();
        const QPoint origin(rounded(outer.width() / 2.0) - 320,
                            rounded(outer.height() / 2.0) - 240);
        EXPECT_EQ(v.pictureOrigin(), (ViewerPoint{origin.x(), origin.y()}));
        EXPECT_EQ(heightField(), "480");
        EXPECT_EQ(widthField(), "640");
        EXPECT_EQ(control<QGroupBox>(v, "GroupBox2")->pos(), QPoint(0, outer.height() - 170));
        EXPECT_EQ(control<QGroupBox>(v, "GroupBox3")->pos(), QPoint(0, outer.height() - 85));
        expectOnScreen(origin, {pictureWidth, pictureHeight}, picturePixel);

        control<QLineEdit>(v, "Edit1")->setText("Подпись");
        control<QComboBox>(v, "ColorBox1")->setCurrentText("clRed");
        EXPECT_EQ(control<QLineEdit>(v, "Edit1")->palette().color(QPalette::Text), QColor(Qt::red));
        const test::SeenMessageBox seen = saveAtHeight("240");
        EXPECT_FALSE(seen.shown) << seen.text.toStdString();
        EXPECT_EQ(heightField(), "240");
        EXPECT_EQ(widthField(), "320");
        const QPoint halfOrigin(rounded(outer.width() / 2.0) - 160,
                                rounded(outer.height() / 2.0) - 120);
        EXPECT_EQ(v.pictureOrigin(), (ViewerPoint{halfOrigin.x(), halfOrigin.y()}));
        // Above the caption: the pixel under the centre of each 2 x 2 block.
        expectOnScreen(halfOrigin, {320, 200},
                       [](int x, int y) { return picturePixel(2 * x + 1, 2 * y + 1); });
    });

    EXPECT_EQ(test::readFile(picturePath_), pictureBytes) << "the picture file was changed";
    const test::RgbaImage jpeg = test::decodeWithPillow(jpegPath_);
    ASSERT_EQ(jpeg.width, 320);
    ASSERT_EQ(jpeg.height, 240);
    // The caption's cell covers the unscaled picture's last 15 rows: the last
    // 8 rows here, from the left edge.
    int red = 0;
    int white = 0;
    for (int y = 232; y < 240; ++y)
        for (int x = 0; x < 60; ++x) {
            const std::uint8_t* p = jpeg.at(x, y);
            red += p[0] > p[1] + 50 && p[0] > p[2] + 50;
            white += std::min({p[0], p[1], p[2]}) > 200;
        }
    EXPECT_GT(red, 25) << "the red caption is missing from the bottom-left corner";
    EXPECT_GT(white, 100) << "the caption's white cell is missing";
    // Elsewhere the picture, against the same nearest-neighbour rule.
    double squares = 0;
    int count = 0;
    for (int y = 0; y < 230; ++y)
        for (int x = 0; x < 320; ++x) {
            const QRgb expected = picturePixel(2 * x + 1, 2 * y + 1);
            const std::uint8_t* p = jpeg.at(x, y);
            for (const auto& [got, want] :
                 {std::pair{p[0], qRed(expected)}, std::pair{p[1], qGreen(expected)},
                  std::pair{p[2], qBlue(expected)}}) {
                squares += (got - want) * (got - want);
                ++count;
            }
        }
    const double psnr = 10 * std::log10(255.0 * 255.0 / (squares / count));
    EXPECT_GT(psnr, 30) << "the JPEG is not the picture halved by centre pixels";
}

TEST_F(ViewerTest, TheWindowHeightIsTheLimitOfTheTypedHeight) {
    whileOpen([&] {
        const int windowHeight = viewer_->frameGeometry().height();
        const test::SeenMessageBox refused = saveAtHeight(QString::number(windowHeight + 1));
        EXPECT_TRUE(refused.shown);
        EXPECT_EQ(refused.text, "Новые размеры превышают размеры экрана!");
        EXPECT_EQ(refused.title, "Kadrix");
        EXPECT_FALSE(fs::exists(jpegPath_));
        // Back from the message the viewer starts again from the file.
        EXPECT_TRUE(waitFor([&] { return heightField() == "480"; }));

        const test::SeenMessageBox accepted = saveAtHeight(QString::number(windowHeight));
        EXPECT_FALSE(accepted.shown) << accepted.text.toStdString();
        EXPECT_EQ(heightField(), QString::number(windowHeight));
    });
    const test::RgbaImage jpeg = test::decodeWithPillow(jpegPath_);
    EXPECT_EQ(jpeg.height, viewer_->frameGeometry().height());
    EXPECT_EQ(jpeg.width, rounded(640.0 * jpeg.height / 480.0));
}

TEST_F(ViewerTest, ErrorsAreReportedAndNothingIsWritten) {
    whileOpen([&] {
        const test::SeenMessageBox notNumber = saveAtHeight("1 2");
        EXPECT_EQ(notNumber.text, "'1 2' is not a valid integer value.");
        EXPECT_EQ(notNumber.icon, QMessageBox::Critical);
        EXPECT_FALSE(fs::exists(jpegPath_));
        // The error report's box does not start the viewer again.
        QTest::qWait(300);
        EXPECT_EQ(field("MaskEdit1").displayText(), "1 2  ");

        // A height of 0: an empty picture and an empty file.
        EXPECT_FALSE(saveAtHeight("0").shown);
        EXPECT_TRUE(viewer_->shownPicture().isNull());
        EXPECT_EQ(heightField(), "0");
        EXPECT_EQ(widthField(), "0");
        EXPECT_EQ(fs::file_size(jpegPath_), 0u);
        fs::remove(jpegPath_);

        const QImage shownBefore = viewer_->shownPicture().toImage();
        const test::UnreadableFolder readOnly(dir_.path(),
                                              fs::perms::owner_read | fs::perms::owner_exec);
        const test::SeenMessageBox cannotCreate = saveAtHeight("100");
        EXPECT_TRUE(cannotCreate.text.startsWith("Cannot create file \"" +
                                                 QString::fromStdString(jpegPath_) + "\"."))
            << cannotCreate.text.toStdString();
        EXPECT_EQ(heightField(), "100") << "the fields keep their values";
        EXPECT_EQ(viewer_->shownPicture().toImage(), shownBefore) << "nothing is painted";
    });
    EXPECT_FALSE(fs::exists(jpegPath_));
}

// The save loses nothing: not the picture itself when its name ends in
// ".JPG", not a good older JPEG when the disk is full.
TEST_F(ViewerTest, TheSaveNeverLosesThePictureNorAnOlderJpeg) {
    const std::string named = dir_.path("a.JPG");
    fs::copy_file(picturePath_, named);
    const std::vector<std::byte> picture = test::readFile(named);
    whileOpen(named, [&] {
        ASSERT_TRUE(waitFor([&] { return !viewer_->shownPicture().isNull(); }));
        const test::SeenMessageBox refused = saveAtHeight("100");
        EXPECT_EQ(refused.text, "Файл не может быть записан поверх самого себя: a.JPG");
        EXPECT_EQ(refused.icon, QMessageBox::NoIcon);
    });
    EXPECT_EQ(test::readFile(named), picture);

    const test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::string small = disk.path("Pic000002.bmp");
    const std::string older = disk.path("Pic000002.JPG");
    // Noise, so that its JPEG needs more room than the older one frees.
    test::writeFile(small, test::makeBmp({24, 160, 120, false, {}, [](int x, int y) {
                                              return (static_cast<std::uint32_t>(x) * 2654435761u ^
                                                      static_cast<std::uint32_t>(y) * 40503u) &
                                                     0xFFFFFF;
                                          }}));
    test::writeFile(older, "a good older JPEG");
    disk.fillLeaving(0);
    whileOpen(small, [&] {
        ASSERT_TRUE(waitFor([&] { return !viewer_->shownPicture().isNull(); }));
        const test::SeenMessageBox full = saveAtHeight("120");
        EXPECT_EQ(full.text.toStdString(),
                  "Cannot write file \"" + older + "\". No space left on device.");
        EXPECT_EQ(full.icon, QMessageBox::Critical);
    });
    EXPECT_TRUE(test::readText(older) == "a good older JPEG") << "the older JPEG is lost";
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.str()), fs::directory_iterator()), 3);
}

TEST_F(ViewerTest, AFileThatIsNotThereIsReportedOnceWithNothingPainted) {
    const std::string missing = dir_.path("gone.bmp");
    QStringList reports;
    QDeadlineTimer quiet;
    bool nothingPainted = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isActiveWindow()) {
            reports << box->text();
            box->button(QMessageBox::Ok)->click();
            // Another report would come within this time if closing the
            // box started the viewer again.
            quiet.setRemainingTime(1000);
        } else if (reports.size() > 2 ||
                   (!reports.isEmpty() && quiet.hasExpired() && viewer_->isActiveWindow())) {
            nothingPainted = viewer_->shownPicture().isNull();
            viewer_->close();
        }
    });
    watch.start();
    viewer_->openPicture(missing);
    ASSERT_EQ(reports.size(), 1) << reports.join(" | ").toStdString();
    EXPECT_TRUE(reports[0].startsWith("Cannot open file \"" + QString::fromStdString(missing) +
                                      "\". No such file or directory"))
        << reports[0].toStdString();
    EXPECT_TRUE(nothingPainted);
}

TEST_F(ViewerTest, ADoubleClickOnTheSurfaceClosesTheViewerAndOneOnAGroupDoesNot) {
    whileOpen([&] {
        QWidget* group = control<QGroupBox>(*viewer_, "GroupBox2");
        QTest::mouseDClick(group, Qt::LeftButton, {}, QPoint(100, 5));
        EXPECT_TRUE(viewer_->isVisible());
        QTest::mouseClick(viewer_.get(), Qt::LeftButton, {}, QPoint(400, 100));
        EXPECT_TRUE(viewer_->isVisible()) << "a single click closes nothing";
        const ViewerPoint origin = viewer_->pictureOrigin();
        QTest::mouseDClick(viewer_.get(), Qt::LeftButton, {}, QPoint(origin.x + 5, origin.y + 5));
        EXPECT_FALSE(viewer_->isVisible());
    });
}

} // namespace
} // namespace kadrix
