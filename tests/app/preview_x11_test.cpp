// SPDX-License-Identifier: GPL-3.0-or-later
// The preview in the real window on an X server: a click on a listed file
// shows it, the green strip converts it, and independent readers check what
// the strip wrote.
#include "platform/media_services.h"
#include "tests/support/byte_fields.h"
#include "tests/support/convert_test_support.h"
#include "tests/support/gui_wait.h"
#include "tests/support/imagemagick_decode.h"
#include "tests/support/screen_colors.h"
#include "tests/support/shown_main_window.h"
#include "tests/support/test_clip.h"
#include "tests/support/test_files.h"
#include "tests/support/test_tone.h"
#include "ui/media_player_bar.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kadrix {
namespace {

using test::answerMessageBox;
using test::waitFor;
namespace fs = std::filesystem;

// The snapshot: four quadrants of standard colours, and a white 8 x 8 square
// in the top-left corner that the icon makes transparent.
constexpr int snapWidth = 1920;
constexpr int snapHeight = 1080;
const QColor topLeft(255, 0, 0);
const QColor topRight(0, 0, 255);
const QColor bottomLeft(255, 255, 0);
const QColor bottomRight(0, 128, 128);

QColor snapColor(int x, int y) {
    if (x < 8 && y < 8)
        return Qt::white;
    if (y < snapHeight / 2)
        return x < snapWidth / 2 ? topLeft : topRight;
    return x < snapWidth / 2 ? bottomLeft : bottomRight;
}

std::vector<std::byte> bmpOf(int width, int height, QColor (*color)(int, int)) {
    test::BmpRecipe recipe;
    recipe.bits = 32;
    recipe.width = width;
    recipe.height = height;
    recipe.pixel = [color](int x, int y) {
        return static_cast<std::uint32_t>(color(x, y).rgb());
    };
    return test::makeBmp(recipe);
}

bool near(const std::uint8_t* rgba, QColor want, int tolerance) {
    return test::near(QColor(rgba[0], rgba[1], rgba[2]), want, tolerance);
}

class PreviewTest : public test::ShownMainWindowTest {
protected:
    PreviewTest() : ShownMainWindowTest("kadrix-preview") {}

    void write(const std::string& name, const std::vector<std::byte>& bytes) {
        test::writeFile(dir_.path(name), bytes);
        files().reload();
    }

    // A real double click through the X server: QTest's does not reach an
    // item view's double-click signal.
    void doubleClick(const std::string& name) const {
        const QPoint at = files().viewport()->mapToGlobal(test::placeOfListed(files(), name));
        test::runCommand("xdotool mousemove " + std::to_string(at.x()) + " " +
                         std::to_string(at.y()) + " click --repeat 2 --delay 80 1");
    }

    // What the screen shows where Image1 stands.
    QImage shownPreview() const {
        auto* image = get<QLabel>("Image1");
        return test::screenArea(QRect(image->mapToGlobal(QPoint(0, 0)), image->size()));
    }
};

TEST_F(PreviewTest, ASnapshotShowsScaledAndTheStripWritesEachFile) {
    write("Pic000001.bmp", bmpOf(snapWidth, snapHeight, snapColor));
    click("Pic000001.bmp");
    ASSERT_TRUE(waitFor([&] { return get<QFrame>("Panel3")->isVisible(); }));
    EXPECT_EQ(window_->selectedFile(), dir_.path("Pic000001.bmp"));

    // The strip on the screen: "создать файл -->" in white on green, in a
    // groove of a lowered outer line and a raised inner one.
    auto* strip = get<QFrame>("Panel3");
    const QColor green(0, 128, 0), grey(128, 128, 128), white(255, 255, 255);
    QImage shownStrip;
    ASSERT_TRUE(waitFor([&] {
        shownStrip = test::screenArea(QRect(strip->mapToGlobal(QPoint(0, 0)), strip->size()));
        return test::near(shownStrip.pixelColor(3, 10), green, 0);
    }));
    const struct {
        QPoint at;
        QColor want;
    } groove[] = {{{50, 0}, grey},   {{0, 10}, grey},    {{50, 1}, white}, {{1, 10}, white},
                  {{50, 19}, white}, {{193, 10}, white}, {{50, 18}, grey}, {{192, 10}, grey}};
    for (const auto& g : groove)
        EXPECT_EQ(shownStrip.pixelColor(g.at), g.want) << g.at.x() << ", " << g.at.y();
    const QRect caption = get<QLabel>("Label5")->geometry();
    int light = 0, dark = 0;
    for (int y = caption.top(); y <= caption.bottom(); ++y)
        for (int x = caption.left(); x <= caption.right(); ++x) {
            light += shownStrip.pixelColor(x, y).lightness() > 200;
            dark += shownStrip.pixelColor(x, y).lightness() < 40;
        }
    EXPECT_GE(light, 30) << "the caption is white";
    EXPECT_EQ(dark, 0) << "the caption is white";

    // 1920 x 1080 fits 195 x 193 as 195 x 109, from the top-left corner; the
    // maroon panel shows below it.
    const struct {
        QPoint at;
        QColor want;
    } samples[] = {{{48, 27}, topLeft},           {{146, 27}, topRight},
                   {{48, 82}, bottomLeft},        {{146, 82}, bottomRight},
                   {{190, 104}, bottomRight},     {{97, 120}, QColor(128, 0, 0)},
                   {{97, 190}, QColor(128, 0, 0)}};
    ASSERT_TRUE(waitFor([&] {
        const QImage shown = shownPreview();
        for (const auto& s : samples)
            if (!test::near(shown.pixelColor(s.at), s.want, 3))
                return false;
        return true;
    })) << "Image1 does not show the scaled picture";

    QTest::mouseClick(get<QToolButton>("SpeedButton1"), Qt::LeftButton);
    const auto jpeg = decodeRgbaWithImageMagick(dir_.path("Pic000001.jpg"), snapWidth, snapHeight);
    ASSERT_FALSE(jpeg.empty());
    auto jpegAt = [&](int x, int y) {
        return &jpeg[(static_cast<std::size_t>(y) * snapWidth + static_cast<std::size_t>(x)) * 4];
    };
    EXPECT_TRUE(near(jpegAt(480, 270), topLeft, 8));
    EXPECT_TRUE(near(jpegAt(1440, 270), topRight, 8));
    EXPECT_TRUE(near(jpegAt(480, 810), bottomLeft, 8));
    EXPECT_TRUE(near(jpegAt(1440, 810), bottomRight, 8));

    QTest::mouseClick(get<QToolButton>("SpeedButton2"), Qt::LeftButton);
    EXPECT_EQ(fs::file_size(dir_.path("Pic000001.ico")), 766u);
    const test::RgbaImage icon = test::decodeWithPillow(dir_.path("Pic000001.ico"));
    ASSERT_EQ(icon.width, 32);
    ASSERT_EQ(icon.height, 32);
    EXPECT_EQ(icon.at(3, 3)[3], 0) << "white is transparent";
    EXPECT_EQ(icon.at(20, 20)[3], 255);
    EXPECT_TRUE(near(icon.at(20, 20), topLeft, 0));

    QTest::mouseClick(get<QToolButton>("SpeedButton3"), Qt::LeftButton);
    ASSERT_TRUE(fs::exists(dir_.path("Pic000001.emf")));
    if (test::haveProgram("inkscape", "inkscape")) {
        const std::string home = dir_.path("inkscape-home");
        test::runCommand("env HOME='" + home + "' XDG_CONFIG_HOME='" + home + "' XDG_CACHE_HOME='" +
                         home + "' XDG_DATA_HOME='" + home + "' inkscape '" +
                         dir_.path("Pic000001.emf") +
                         "' --export-type=png --export-width=480 --export-filename='" +
                         dir_.path("emf.png") + "' 2>/dev/null");
        const test::RgbaImage drawn = test::decodeWithPillow(dir_.path("emf.png"));
        ASSERT_EQ(drawn.width, 480);
        EXPECT_EQ(drawn.height, 270);
        EXPECT_TRUE(near(drawn.at(120, 67), topLeft, 2));
        EXPECT_TRUE(near(drawn.at(360, 67), topRight, 2));
        EXPECT_TRUE(near(drawn.at(120, 202), bottomLeft, 2));
        EXPECT_TRUE(near(drawn.at(360, 202), bottomRight, 2));
    }
    EXPECT_EQ(test::listedEntry(files(), "Pic000001.jpg"), nullptr) << "the list is not read again";
}

TEST_F(PreviewTest, WhatIsNotABitmapLeavesThePreviousPicture) {
    write("small.bmp", bmpOf(40, 31, [](int, int) { return QColor(0, 0, 128); }));
    write("photo.bmp", test::readFile(KADRIX_SOURCE_DIR "/resources/banner.png"));
    std::vector<std::byte> huge = bmpOf(40, 31, snapColor);
    huge[18] = huge[19] = huge[20] = std::byte{0xFF};
    huge[21] = std::byte{0x7F};
    write("huge.bmp", huge);

    click("small.bmp");
    ASSERT_TRUE(waitFor([&] { return get<QFrame>("Panel3")->isVisible(); }));
    const qint64 shown = get<QLabel>("Image1")->pixmap().cacheKey();
    ASSERT_TRUE(waitFor([&] { return shownPreview().pixelColor(5, 5) == QColor(0, 0, 128); }));

    // 31 pixels high: no icon, and the only message of the strip's own.
    const auto refused = answerMessageBox(
        [&] { QTest::mouseClick(get<QToolButton>("SpeedButton2"), Qt::LeftButton); });
    EXPECT_EQ(refused.text, "Из этого BMP нельзя вырезать иконку 32х32!");
    EXPECT_NE(refused.icon, QMessageBox::Critical);
    EXPECT_FALSE(fs::exists(dir_.path("small.ico")));

    const auto hostile = answerMessageBox([&] { click("huge.bmp"); });
    EXPECT_EQ(hostile.icon, QMessageBox::Critical) << "the error report";
    EXPECT_TRUE(hostile.text.contains(QString::fromStdString(dir_.path("huge.bmp"))))
        << hostile.text.toStdString();
    EXPECT_TRUE(get<QFrame>("Panel3")->isVisible())
        << "a picture that fails to load changes nothing";

    const auto notBmp = answerMessageBox([&] { click("photo.bmp"); });
    EXPECT_EQ(notBmp.text, "Это не BMP формат!");
    EXPECT_NE(notBmp.icon, QMessageBox::Critical);
    EXPECT_FALSE(get<QFrame>("Panel3")->isVisible());
    EXPECT_EQ(get<QLabel>("Image1")->pixmap().cacheKey(), shown);
    EXPECT_EQ(shownPreview().pixelColor(5, 5), QColor(0, 0, 128));
    EXPECT_EQ(window_->selectedFile(), dir_.path("photo.bmp"));

    // The strip's file is gone: the metafile's report names it.
    get<QFrame>("Panel3")->show();
    fs::remove(dir_.path("photo.bmp"));
    const auto gone = answerMessageBox(
        [&] { QTest::mouseClick(get<QToolButton>("SpeedButton3"), Qt::LeftButton); });
    EXPECT_EQ(gone.icon, QMessageBox::Critical);
    EXPECT_TRUE(gone.text.contains("photo.bmp")) << gone.text.toStdString();
}

// The peak of this process's resident memory since resetPeakMemory, in kB.
long peakMemoryKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

void resetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// An RLE8 picture of width x height whose data is one "end of picture": a
// few bytes that declare a huge picture.
std::vector<std::byte> rleBomb(std::uint32_t width, std::uint32_t height) {
    std::vector<std::byte> b(14 + 40 + 256 * 4);
    test::putField(b, 0, 'B' | 'M' << 8, 2);
    test::putField(b, 10, static_cast<std::uint32_t>(b.size()));
    test::putField(b, 14, 40);
    test::putField(b, 18, width);
    test::putField(b, 22, height);
    test::putField(b, 26, 1, 2);
    test::putField(b, 28, 8, 2);
    test::putField(b, 30, 1);
    b.push_back(std::byte{0});
    b.push_back(std::byte{1});
    test::putField(b, 2, static_cast<std::uint32_t>(b.size()));
    return b;
}

// A picture is decoded at the size the preview shows it: neither a few bytes
// that declare a huge picture nor a real large one take memory, and the
// former is refused in words.
TEST_F(PreviewTest, APictureTakesNoMoreMemoryThanItsPreviewAndABombIsRefused) {
    constexpr long boundKb = 64 * 1024;
    // Beyond the picture limit, and within it but beyond what two bytes of
    // runs can draw.
    write("bomb.bmp", rleBomb(16384, 16383));
    ASSERT_EQ(fs::file_size(dir_.path("bomb.bmp")), 1080u);
    write("bomb2.bmp", rleBomb(8000, 8000));
    // An 8K screenshot, 24 bits, written a row at a time: navy, with a red
    // top-left quarter.
    constexpr int width = 7680;
    constexpr int height = 4320;
    {
        std::vector<std::byte> head(54);
        test::putField(head, 0, 'B' | 'M' << 8, 2);
        test::putField(head, 2, 54 + std::uint64_t{width} * height * 3);
        test::putField(head, 10, 54);
        test::putField(head, 14, 40);
        test::putField(head, 18, width);
        test::putField(head, 22, height);
        test::putField(head, 26, 1, 2);
        test::putField(head, 28, 24, 2);
        std::ofstream out(dir_.path("Pic000001.bmp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(head.data()), 54);
        std::string navy;
        std::string top;
        for (int x = 0; x < width; ++x) {
            navy.append("\x80\0\0", 3);
            top.append(x < width / 2 ? std::string("\0\0\xFF", 3) : std::string("\x80\0\0", 3));
        }
        for (int y = height - 1; y >= 0; --y) {
            const std::string& row = y < height / 2 ? top : navy;
            out.write(row.data(), static_cast<std::streamsize>(row.size()));
        }
        ASSERT_TRUE(out.flush());
    }
    files().reload();

    for (const char* bomb : {"bomb.bmp", "bomb2.bmp"}) {
        resetPeakMemory();
        const long before = peakMemoryKb();
        const auto refused = answerMessageBox([&] { click(bomb); });
        EXPECT_LT(peakMemoryKb() - before, boundKb) << bomb;
        EXPECT_TRUE(refused.text.contains("Рисунок \"" + QString::fromStdString(dir_.path(bomb)) +
                                          "\" не открыт"))
            << refused.text.toStdString();
        EXPECT_FALSE(get<QFrame>("Panel3")->isVisible());
    }

    resetPeakMemory();
    const long before = peakMemoryKb();
    click("Pic000001.bmp");
    ASSERT_TRUE(waitFor([&] { return get<QFrame>("Panel3")->isVisible(); }));
    EXPECT_LT(peakMemoryKb() - before, boundKb);
    // 195 x 110 from the top-left corner.
    EXPECT_TRUE(waitFor([&] {
        const QImage shown = shownPreview();
        return test::near(shown.pixelColor(40, 20), QColor(255, 0, 0), 3) &&
               test::near(shown.pixelColor(150, 20), QColor(0, 0, 128), 3) &&
               test::near(shown.pixelColor(40, 100), QColor(0, 0, 128), 3) &&
               test::near(shown.pixelColor(40, 150), QColor(128, 0, 0), 3);
    }));
}

// Receives what the double click hands to the desktop.
// Keeps what the window hands to the desktop to open.
class UrlCatcher final : public UrlOpener {
public:
    explicit UrlCatcher(QList<QUrl>& urls) : urls_(urls) {}
    void open(const QUrl& url, FailureReport) override { urls_ << url; }

private:
    QList<QUrl>& urls_;
};

TEST_F(PreviewTest, WaveCheckDesktopOpeningAndAllFilesMode) {
    write("bad\xFF.bmp", bmpOf(4, 4, snapColor));
    write("noise.wav", std::vector<std::byte>(44, std::byte{'x'}));
    std::vector<std::byte> wave(44);
    for (std::size_t i = 0; i < 16; ++i)
        wave[i] = std::byte(std::string_view("RIFF\x24\0\0\0WAVEfmt ", 16)[i]);
    write("tone.wav", wave);

    // A picture's double click hands the path, every byte of it, to the
    // desktop and waits for nothing.
    QList<QUrl> opened;
    Services services = test::testServices();
    services.urls = std::make_unique<UrlCatcher>(opened);
    reopenWith(std::move(services));
    doubleClick("bad\xFF.bmp");
    ASSERT_TRUE(waitFor([&] { return !opened.empty(); }));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.front().toEncoded(),
              QByteArray("file://") + QByteArray::fromStdString(dir_.str()).toPercentEncoding("/") +
                  "/bad%FF.bmp");

    get<QRadioButton>("RadioButton3")->click();
    EXPECT_EQ(answerMessageBox([&] { click("noise.wav"); }).text, "Это не wave формат!");
    EXPECT_FALSE(answerMessageBox([&] { click("tone.wav"); }, 300).shown);
    EXPECT_EQ(window_->selectedFile(), dir_.path("tone.wav"));

    get<QRadioButton>("RadioButton4")->click();
    EXPECT_FALSE(answerMessageBox([&] { click("noise.wav"); }, 300).shown);
    EXPECT_FALSE(answerMessageBox([&] { doubleClick("noise.wav"); }, 300).shown);
    EXPECT_EQ(window_->selectedFile(), dir_.path("tone.wav"))
        << "\"все\" mode leaves SelectedFile alone";
}

TEST_F(PreviewTest, AClipOpensInThePanelAndPlaysAndA16BitClipIsRefusedInWords) {
    // The name is not UTF-8: the player gets the file's own bytes.
    test::writeBlueToLimeClip(dir_, "Vid32\xFF.avi", 32);
    test::writeBlueToLimeClip(dir_, "Vid16.avi", 16);
    get<QRadioButton>("RadioButton2")->click();
    files().reload();
    auto* panel = get<QFrame>("Panel2");
    auto panelShows = [&](QColor want) {
        return test::near(test::screenColorAt(panel->mapToGlobal(panel->rect().center())), want, 8);
    };
    ASSERT_TRUE(waitFor([&] { return panelShows(QColor(128, 0, 0)); }));

    click("Vid32\xFF.avi");
    EXPECT_EQ(window_->selectedFile(), dir_.path("Vid32\xFF.avi"));
    EXPECT_TRUE(waitFor([&] { return panelShows(QColor(0, 0, 255)); }, 20000))
        << "the first frame shows at once";
    auto* player = get<MediaPlayerBar>("MediaPlayer1");
    ASSERT_TRUE(player->isOpen());
    QTest::mouseClick(player->button(MediaPlayerBar::Play), Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return panelShows(QColor(0, 255, 0)); }, 20000))
        << "playing reaches the last frame";

    const auto refused = answerMessageBox([&] { click("Vid16.avi"); });
    EXPECT_EQ(refused.icon, QMessageBox::Critical);
    EXPECT_TRUE(refused.text.contains("16-битного цвета")) << refused.text.toStdString();
    EXPECT_TRUE(refused.text.contains("Vid16.avi"));
    EXPECT_FALSE(player->isOpen()) << "the clip before is closed";
}

// On a private sound server the double click blocks for the sound's length
// under the banner; with none it gives up at once. A file that cannot be
// played is reported either way.
TEST_F(PreviewTest, ASoundDoubleClickedPlaysUnderTheBanner) {
    test::writeTone(dir_.path("ZVUK000001.wav"));
    // Passes the click's check, but holds no sound a player can play.
    test::writeFile(dir_.path("broken.wav"),
                    std::string("RIFF\x24\0\0\0WAVEfmt ", 16) + std::string(28, '\xFF'));
    Services services = test::testServices();
    services.soundPlayer = createSoundPlayer();
    reopenWith(std::move(services));
    get<QRadioButton>("RadioButton3")->click();
    files().reload();
    auto* banner = get<QLabel>("Panel4");
    bool bannerSeen = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        bannerSeen = bannerSeen ||
                     (banner->isVisible() &&
                      test::screenColorAt(banner->mapToGlobal(QPoint(4, 4))) == QColor(0, 0, 128));
    });
    look.start(50);
    QElapsedTimer took;
    took.start();
    const auto seen = answerMessageBox([&] { doubleClick("ZVUK000001.wav"); }, 300);
    EXPECT_FALSE(seen.shown) << seen.text.toStdString();
    ASSERT_TRUE(waitFor([&] { return !banner->isVisible() && took.elapsed() > 400; }, 10000));
    if (qEnvironmentVariableIsSet("KADRIX_PULSE_SESSION")) {
        EXPECT_TRUE(bannerSeen) << "the navy banner shows while the sound plays";
        EXPECT_GE(took.elapsed(), 1400);
        EXPECT_LE(took.elapsed(), 1500 + 3000);
    }
    const auto broken = answerMessageBox([&] { doubleClick("broken.wav"); });
    EXPECT_EQ(broken.text.toStdString(),
              "Не удалось проиграть звук <" + dir_.path("broken.wav") + ">");
}

} // namespace
} // namespace kadrix
