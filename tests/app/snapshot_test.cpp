// SPDX-License-Identifier: GPL-3.0-or-later
// The capture button in the "bmp" mode, with the screen held in memory.
#include "app/main_window.h"
#include "browser/directory_list_box.h"
#include "core/picture/bmp_headers.h"
#include "tests/support/fake_screen_grabber.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/lock_folders.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/test_services.h"
#include "tests/support/unwritable_folder.h"
#include "tests/support/working_folder.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <iterator>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

constexpr int screenWidth = 1280;
constexpr int screenHeight = 1024;

// Every pixel of the fake screen tells its place.
std::vector<std::byte> screenPixels() {
    std::vector<std::byte> pixels(static_cast<std::size_t>(screenWidth) * screenHeight * 4);
    for (int y = 0; y < screenHeight; ++y)
        for (int x = 0; x < screenWidth; ++x) {
            std::byte* p = pixels.data() + (static_cast<std::size_t>(y) * screenWidth + x) * 4;
            p[0] = std::byte(x & 0xff);                 // blue
            p[1] = std::byte(y & 0xff);                 // green
            p[2] = std::byte((x >> 8) * 16 + (y >> 8)); // red
        }
    return pixels;
}

QRgb screenColorAt(int x, int y) {
    return qRgb((x >> 8) * 16 + (y >> 8), y & 0xff, x & 0xff);
}

class SnapshotTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto grabber = std::make_unique<FakeScreenGrabber>(
            screenWidth, screenHeight, PixelFormat::Bgrx32, screenWidth * 4, screenPixels());
        grabber_ = grabber.get();
        Services services = test::testServices();
        services.grabber = std::move(grabber);
        window_ = std::make_unique<TMain>(std::move(services), lock_.folders());
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void toFrame() {
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn2"), Qt::LeftButton);
    }
    void snap() { window_->BitBtn1Click(); }

    TempDir folder_{"kadrix-shots"};
    test::WorkingFolder working_{folder_.str()};
    test::LockFolders lock_;
    std::unique_ptr<TMain> window_;
    FakeScreenGrabber* grabber_ = nullptr;
};

TEST_F(SnapshotTest, WritesTheScreenUnderTheWholeWindowAsTheNextPicture) {
    toFrame();
    window_->setGeometry(100, 50, 301, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window_->width() == 301; }));

    QString captionDuringPause;
    QTimer::singleShot(100, [&] { captionDuringPause = window_->windowTitle(); });
    snap();
    EXPECT_EQ(captionDuringPause, "Pic000001.bmp создан");
    EXPECT_EQ(window_->windowTitle(), "Kadrix");

    ASSERT_EQ(grabber_->rects().size(), 1u);
    const ScreenRect asked = grabber_->rects()[0];
    const QRect outer(asked.x, asked.y, asked.width, asked.height);
    EXPECT_TRUE(outer.contains(window_->geometry())) << "the grab misses part of the window";

    const fs::path file = folder_.path() / "Pic000001.bmp";
    EXPECT_EQ(test::control<QLineEdit>(*window_, "Edit1")->text().toStdString(), file.string());
    const std::vector<std::byte> bytes = test::readFile(file);
    const auto headers = parseBmpHeaders(bytes);
    ASSERT_TRUE(headers);
    EXPECT_EQ(headers->bitCount, 32);
    EXPECT_EQ(headers->pixelOffset, 54u);
    EXPECT_EQ(bytes.size(), 54u + static_cast<std::size_t>(outer.width()) * 4 * outer.height());

    QImage picture(QString::fromStdString(file.string()));
    ASSERT_EQ(picture.size(), outer.size());
    const int right = outer.width() - 1;
    const int bottom = outer.height() - 1;
    for (const QPoint at : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(150, 100),
                            QPoint(right, bottom)})
        EXPECT_EQ(picture.pixel(at) & 0xffffff,
                  screenColorAt(outer.x() + at.x(), outer.y() + at.y()) & 0xffffff)
            << at.x() << "," << at.y();

    snap();
    EXPECT_TRUE(fs::exists(folder_.path() / "Pic000002.bmp"));
    EXPECT_EQ(window_->counters().next(OutputKind::Picture), 3);
}

TEST_F(SnapshotTest, DoesNothingInTheOptionsLayout) {
    snap();
    EXPECT_TRUE(grabber_->rects().empty());
    EXPECT_FALSE(fs::exists(folder_.path() / "Pic000001.bmp"));
    EXPECT_FALSE(test::control<QPushButton>(*window_, "BitBtn1")->isEnabled());
}

TEST_F(SnapshotTest, AFolderThatCannotTakeThePictureKeepsTheNumber) {
    toFrame();
    const test::UnwritableFolder unwritable(folder_.path());
    if (!unwritable.holds())
        GTEST_SKIP() << "cannot make the folder unwritable here";
    const test::SeenMessageBox box = test::answerMessageBox([&] {
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn1"), Qt::LeftButton);
    });
    ASSERT_TRUE(box.shown);
    const std::string expectedPath = (folder_.path() / "Pic000001.bmp").string();
    EXPECT_EQ(box.text.toStdString().rfind("Cannot create file \"" + expectedPath + "\". ", 0), 0u)
        << box.text.toStdString();
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(window_->counters().next(OutputKind::Picture), 1);
    EXPECT_EQ(window_->windowTitle(), "Kadrix");

    unwritable.restore();
    snap();
    EXPECT_TRUE(fs::exists(expectedPath)) << "the next attempt uses the same number";
}

// A picture that does not fit is not written: the older picture of its name
// stays whole, and the report says which file and why.
TEST_F(SnapshotTest, AFullDiskKeepsTheOlderPictureAndTheReportSaysWhichAndWhy) {
    const test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    test::control<DirectoryListBox>(*window_, "DirectoryListBox1")->setDirectory(disk.str());
    const std::string path = disk.path("Pic000001.bmp");
    test::writeFile(path, "an older picture");
    disk.fillLeaving(0);
    toFrame();
    const test::SeenMessageBox box = test::answerMessageBox([&] {
        QTest::mouseClick(test::control<QPushButton>(*window_, "BitBtn1"), Qt::LeftButton);
    });
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(box.text.toStdString(),
              "Cannot write file \"" + path + "\". No space left on device.");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_TRUE(test::readText(path) == "an older picture") << "the older picture is lost";
    EXPECT_EQ(window_->counters().next(OutputKind::Picture), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.str()), fs::directory_iterator()), 2)
        << "only the filler and the older picture";
}

TEST_F(SnapshotTest, AnExistingPictureOfThatNumberIsReplaced) {
    test::writeFile(folder_.path("Pic000001.bmp"), "an older picture");
    toFrame();
    snap();
    const auto headers = parseBmpHeaders(test::readFile(folder_.path() / "Pic000001.bmp"));
    ASSERT_TRUE(headers);
}

// The pause after a picture keeps the window drawn and takes no input, but it
// sleeps: a spinning wait would burn a core for half a second on every
// picture.
TEST_F(SnapshotTest, ThePauseAfterAPictureSleeps) {
    toFrame();
    // A sleeping loop wakes for the timer and a few repaints; a spinning one
    // polls the event dispatcher many thousand times (fewer on a busy
    // machine, but never this few).
    int wakeUps = 0;
    const QMetaObject::Connection counting = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    QElapsedTimer wall;
    wall.start();
    snap();
    const qint64 wallMs = wall.elapsed();
    QObject::disconnect(counting);
    EXPECT_GE(wallMs, 500);
    EXPECT_LT(wakeUps, 200) << "the pause spins";
    EXPECT_TRUE(fs::exists(folder_.path() / "Pic000001.bmp"));
}

// A folder whose name is not valid UTF-8 takes pictures like any other: the
// path is kept as the file system's bytes, and Edit1 only shows it.
TEST_F(SnapshotTest, AFolderNamedInAnotherEncodingTakesThePicture) {
    const fs::path folder = folder_.path() / "Bilder \xE4\xF6";
    fs::create_directory(folder);
    test::control<DirectoryListBox>(*window_, "DirectoryListBox1")->setDirectory(folder.string());
    toFrame();
    snap();
    const fs::path file = folder / "Pic000001.bmp";
    EXPECT_TRUE(fs::exists(file));
    EXPECT_TRUE(parseBmpHeaders(test::readFile(file)));
    EXPECT_EQ(window_->counters().next(OutputKind::Picture), 2);
    EXPECT_EQ(test::control<QLineEdit>(*window_, "Edit1")->text(),
              QFile::decodeName(QByteArray::fromStdString(file.string())));
}

// Started in such a folder, the browser opens it, not the home folder.
TEST_F(SnapshotTest, StartsInAWorkingFolderNamedInAnotherEncoding) {
    const fs::path folder = folder_.path() / "\xC4rger";
    fs::create_directory(folder);
    fs::current_path(folder);
    std::unique_ptr<TMain> second;
    const test::SeenMessageBox report = test::answerMessageBox(
        [&] { second = std::make_unique<TMain>(test::testServices(), lock_.folders()); }, 2000);
    EXPECT_FALSE(report.shown) << report.text.toStdString();
    EXPECT_EQ(second->currentFolder(), folder.string());
    EXPECT_EQ(second->outputPathFor(OutputKind::Picture), (folder / "Pic000001.bmp").string());
}

} // namespace
} // namespace kadrix
