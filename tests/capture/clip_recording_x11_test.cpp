// A clip recorded on a real X server: every frame is the screen under the
// frame, without the frame, its buttons or its progress bar.
#include "app/UnitMain.h"
#include "browser/directory_list_box.h"
#include "platform/platform_services.h"
#include "tests/support/find_control.h"
#include "tests/support/gui_wait.h"
#include "tests/support/known_picture.h"
#include "tests/support/temp_dir.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using test::waitFor;

TEST(ClipRecordingX11, EveryFrameIsTheScreenUnderTheFrame) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    test::TempDir folder("kadrix-clips");
    test::TempDir program("kadrix-program");
    test::KnownPictureProcess background;
    ASSERT_TRUE(background.shown()) << background.failure();
    TMain window({QString::fromStdString(program.str()), QString::fromStdString(program.str())});
    window.setPlatformServices(choosePlatformServices());
    test::control<DirectoryListBox>(window, "DirectoryListBox1")->setDirectory(folder.str());
    test::control<QRadioButton>(window, "RadioButton2")->click();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 20000));
    ASSERT_TRUE(waitFor([&] { return window.frameGeometry() != window.geometry(); }));
    QTest::mouseClick(test::control<QPushButton>(window, "BitBtn2"), Qt::LeftButton);
    window.setGeometry(200, 150, 320, 240);
    ASSERT_TRUE(waitFor([&] { return window.frameGeometry() == QRect(200, 150, 320, 240); }));
    ASSERT_TRUE(test::windowShownOverPicture(window));

    QTest::mouseClick(test::control<QPushButton>(window, "BitBtn1"), Qt::LeftButton);
    ASSERT_TRUE(window.recording());
    ASSERT_TRUE(waitFor([&] { return !window.recording(); }, 30000));
    const fs::path clip = folder.path() / "Vid000001.avi";
    ASSERT_TRUE(fs::exists(clip));
    EXPECT_FALSE(fs::exists(folder.path() / "Fr000001.bmp"));

    // ffmpeg decodes the clip to raw pictures, bottom row last.
    QProcess decode;
    decode.start("ffmpeg", {"-v", "error", "-i", QString::fromStdString(clip.string()), "-f",
                            "rawvideo", "-pix_fmt", "bgra", "-"});
    ASSERT_TRUE(decode.waitForFinished(60000));
    const QByteArray raw = decode.readAllStandardOutput();
    const int frameBytes = 320 * 240 * 4;
    ASSERT_GT(raw.size(), 0);
    ASSERT_EQ(raw.size() % frameBytes, 0);
    const int frames = static_cast<int>(raw.size() / frameBytes);
    // A busy machine misses ticks (they are logged, not made up for); never
    // more frames than the duration holds.
    EXPECT_GE(frames, 2);
    EXPECT_LE(frames, 10);
    for (int f = 0; f < frames; ++f) {
        const QImage frame(reinterpret_cast<const uchar*>(raw.constData()) + f * frameBytes, 320,
                           240, QImage::Format_RGB32);
        int wrong = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                if ((frame.pixel(x, y) & 0xffffff) !=
                    (test::knownColorAt(200 + x, 150 + y).rgb() & 0xffffff))
                    ++wrong;
        EXPECT_EQ(wrong, 0) << "frame " << f;
    }
}

} // namespace
} // namespace kadrix
