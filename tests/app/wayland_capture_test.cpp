// SPDX-License-Identifier: GPL-3.0-or-later
// Captures on a headless Sway desktop (scripts/sway-session), whose output
// shows the known picture drawn by a Wayland client: the program's window is
// on XWayland, the pixels come from the compositor. grim, which asks the
// compositor the same way, is the independent reference.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "tests/support/ffmpeg_frames.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/lock_folders.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_services.h"
#include "tests/support/working_folder.h"

#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::waitFor;

// The output's scale and size in device pixels, as scripts/sway-session made it.
int sessionScale() {
    const char* scale = std::getenv("KADRIX_SWAY_SCALE");
    return scale ? std::atoi(scale) : 1;
}
constexpr QSize outputPixels(1920, 1080);

QByteArray run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return {};
    }
    return process.readAllStandardOutput();
}

void swaymsg(const QString& command) {
    run("swaymsg", {command});
}

// What grim takes of a rectangle of the layout, in device pixels.
QImage grim(const QRect& rect) {
    const QByteArray ppm = run(
        "grim",
        {"-g",
         QString("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()),
         "-t", "ppm", "-"});
    return QImage::fromData(ppm, "PPM").convertToFormat(QImage::Format_RGB32);
}

int differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < left.height(); ++y)
        for (int x = 0; x < left.width(); ++x)
            if ((left.pixel(x, y) & 0xffffff) != (right.pixel(x, y) & 0xffffff))
                ++differing;
    return differing;
}

QImage snap(const QRect& rect, const test::TempDir& folder) {
    const std::string file = folder.path("snap.bmp");
    run(KADRIX_TOOL, {"snap", QString::number(rect.x()), QString::number(rect.y()),
                      QString::number(rect.width()), QString::number(rect.height()),
                      QString::fromStdString(file)});
    return QImage(QString::fromStdString(file));
}

TEST(WaylandSnap, IsTheCompositorsPictureInDevicePixelsAndBlackOffTheOutput) {
    const int scale = sessionScale();
    const QSize logical = outputPixels / scale;
    test::TempDir folder("kadrix-wayland-snap");
    // Inside the output, and reaching past its right and bottom edges.
    for (const QRect rect : {QRect(101, 53, 400, 300),
                             QRect(logical.width() - 150, logical.height() - 100, 301, 201)}) {
        const QImage picture = snap(rect, folder);
        ASSERT_EQ(picture.size(), rect.size() * scale) << "device pixels";
        EXPECT_EQ(differingPixels(picture, grim(rect)), 0);
        const QRect onOutput = QRect(rect.topLeft() * scale, picture.size())
                                   .intersected(QRect(QPoint(0, 0), outputPixels))
                                   .translated(-rect.topLeft() * scale);
        EXPECT_EQ(test::pixelsUnlikeKnownPicture(picture.copy(onOutput), rect.topLeft() * scale),
                  0);
        int lit = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (!onOutput.contains(x, y) && (picture.pixel(x, y) & 0xffffff) != 0)
                    ++lit;
        EXPECT_EQ(lit, 0) << "the parts on no output are black";
    }
}

// The program's window over the known picture, placed by the compositor.
class WaylandFrame : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        test::control<DirectoryListBox>(window_, "DirectoryListBox1")->setDirectory(folder_.str());
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_, 20000));
        QTest::mouseClick(test::control<QPushButton>(window_, "BitBtn2"), Qt::LeftButton);
    }

    // XWayland's coordinates are the compositor's once the compositor has
    // placed the window; a move asked from inside the window would mislead.
    void place(const QRect& rect) {
        swaymsg(QString("[pid=%1] floating enable, resize set width %2 px height %3 px, "
                        "move position %4 px %5 px")
                    .arg(::getpid())
                    .arg(rect.width())
                    .arg(rect.height())
                    .arg(rect.x())
                    .arg(rect.y()));
        ASSERT_TRUE(waitFor([&] { return window_.frameGeometry() == rect; }))
            << "at " << window_.frameGeometry().x() << "," << window_.frameGeometry().y();
    }

    // The see-through inside of the frame, in the window's coordinates: the
    // maroon panel within its rim, without the capture group, a pixel away
    // from every edge that the compositor's scaling may blend.
    QRegion seeThroughInside() const {
        const QWidget* panel = test::control<QFrame>(window_, "Panel1");
        const QWidget* group = test::control<QGroupBox>(window_, "GroupBox1");
        const QRect inside = panel->geometry().adjusted(3, 3, -3, -3);
        const QRect controls(group->mapTo(&window_, QPoint(0, 0)), group->size());
        return QRegion(inside).subtracted(controls.adjusted(-2, -2, 2, 2));
    }

    // Pixels of a device-pixel picture of the frame's outer rectangle that
    // are not the known picture within the see-through inside.
    int unlikeInside(const QImage& picture, const QRect& outer) const {
        const int scale = sessionScale();
        int unlike = 0;
        for (const QRect& part : seeThroughInside()) {
            const QRect pixels(part.topLeft() * scale, part.size() * scale);
            unlike += test::pixelsUnlikeKnownPicture(picture.copy(pixels),
                                                     (outer.topLeft() + part.topLeft()) * scale);
        }
        return unlike;
    }

    test::TempDir folder_{"kadrix-wayland"};
    test::WorkingFolder working_{folder_.str()};
    test::LockFolders lock_;
    TMain window_{chooseServices(), lock_.folders()};
};

TEST_F(WaylandFrame, TheInsideIsSeeThroughAndASnapshotShowsOnlyWhatIsBeneath) {
    const int scale = sessionScale();
    const QRect outer(137, 91, 501, 333);
    place(outer);
    // The compositor's own picture of the frame: the known picture shows
    // through its inside, and the frame itself is there.
    QImage seen;
    EXPECT_TRUE(waitFor([&] {
        seen = grim(outer);
        return unlikeInside(seen, outer) == 0;
    })) << unlikeInside(seen, outer)
        << " pixels of the inside are not what lies beneath";
    EXPECT_GT(test::pixelsUnlikeKnownPicture(seen.copy(0, 0, seen.width(), 10 * scale),
                                             outer.topLeft() * scale),
              0)
        << "the title strip shows";

    QTest::mouseClick(test::control<QPushButton>(window_, "BitBtn1"), Qt::LeftButton);
    const QImage picture(QString::fromStdString(folder_.path("Pic000001.bmp")));
    ASSERT_EQ(picture.size(), outer.size() * scale);
    EXPECT_EQ(test::pixelsUnlikeKnownPicture(picture, outer.topLeft() * scale), 0)
        << "the frame's strip, border or buttons are in the picture";
    // And the frame comes back.
    EXPECT_TRUE(waitFor([&] {
        return test::pixelsUnlikeKnownPicture(grim(outer).copy(0, 0, seen.width(), 10 * scale),
                                              outer.topLeft() * scale) > 0;
    }));
}

TEST_F(WaylandFrame, EveryFrameOfAClipIsWhatIsBeneath) {
    const int scale = sessionScale();
    const QRect outer(200, 150, 320, 240);
    place(outer);
    test::control<QRadioButton>(window_, "RadioButton2")->click();
    test::control<QSpinBox>(window_, "SpinEdit1")->setValue(2);
    QTest::mouseClick(test::control<QPushButton>(window_, "BitBtn1"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return !window_.recording(); }, 30000));
    const QByteArray raw = test::ffmpegFrames(folder_.path("Vid000001.avi"), "bgra");
    const QSize size = outer.size() * scale;
    const qsizetype frameBytes = qsizetype(size.width()) * size.height() * 4;
    ASSERT_GT(raw.size(), 0);
    ASSERT_EQ(raw.size() % frameBytes, 0) << "frames of device pixels";
    const int frames = static_cast<int>(raw.size() / frameBytes);
    // A tick waits up to a second for the windows beneath to draw themselves
    // again, which a loaded compositor at scale 2 may take: two seconds give
    // at least two frames, and at most ten.
    EXPECT_GE(frames, 2);
    EXPECT_LE(frames, 10);
    for (int f = 0; f < frames; ++f) {
        const QImage frame(reinterpret_cast<const uchar*>(raw.constData()) + f * frameBytes,
                           size.width(), size.height(), QImage::Format_RGB32);
        EXPECT_EQ(test::pixelsUnlikeKnownPicture(frame, outer.topLeft() * scale), 0)
            << "frame " << f;
    }
}

// The second output stays for the rest of the session, on the right of the
// first, away from the frame's places.
TEST(WaylandSnap, ARectangleAcrossTwoOutputsIsComposedFromBoth) {
    const int scale = sessionScale();
    const int right = outputPixels.width() / scale;
    // A second output to the right of the first, lower, at the same scale,
    // showing the known picture from its own corner.
    swaymsg("create_output");
    swaymsg(QString("output HEADLESS-2 resolution 400x200 position %1 0 scale %2 bg %3 tile")
                .arg(right)
                .arg(scale)
                .arg(qEnvironmentVariable("KADRIX_SWAY_BACKGROUND")));
    const int secondHeight = 200 / scale;
    const QRect rect(right - 100, secondHeight / 2, 200, secondHeight);
    test::TempDir folder("kadrix-wayland-outputs");
    QImage picture;
    // The new output's background comes a moment after the output.
    ASSERT_TRUE(waitFor([&] {
        picture = snap(rect, folder);
        return picture.size() == rect.size() * scale &&
               test::pixelsUnlikeKnownPicture(
                   picture.copy(100 * scale, 0, 100 * scale, secondHeight / 2 * scale),
                   QPoint(0, secondHeight / 2) * scale) == 0;
    })) << "the second output's part";
    EXPECT_EQ(differingPixels(picture, grim(rect)), 0);
    EXPECT_EQ(test::pixelsUnlikeKnownPicture(picture.copy(0, 0, 100 * scale, picture.height()),
                                             rect.topLeft() * scale),
              0)
        << "the first output's part";
    const QImage below =
        picture.copy(100 * scale, secondHeight / 2 * scale, 100 * scale, secondHeight / 2 * scale)
            .convertToFormat(QImage::Format_RGB32);
    int lit = 0;
    for (int y = 0; y < below.height(); ++y)
        for (int x = 0; x < below.width(); ++x)
            lit += (below.pixel(x, y) & 0xffffff) != 0;
    EXPECT_EQ(lit, 0) << "below the second output is on no output";
}

} // namespace
} // namespace kadrix
