// SPDX-License-Identifier: GPL-3.0-or-later
// kadrix-tool snap from end to end: a grab of the test display's known
// picture, read back by ImageMagick.
#include "core/file.h"
#include "core/picture/bmp_headers.h"
#include "tests/platform/x11_test_picture.h"
#include "tests/support/imagemagick_decode.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

class SnapCommandTest : public ::testing::Test {
protected:
    void SetUp() override { rootPicture(); }

    ToolRun snap(const std::string& args, const std::string& environment = {}) {
        // Run in the temporary folder, where relative paths land.
        const std::string command = "cd '" + dir_.string() + "' && " + environment +
                                    KADRIX_BINARY_DIR "/tool/kadrix-tool snap " + args + " >'" +
                                    (dir_ / "out").string() + "' 2>'" + (dir_ / "err").string() +
                                    "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readText(dir_ / "out"),
                test::readText(dir_ / "err")};
    }

    // The file shows the picture's rectangle: exactly on a 24-bit screen,
    // in the top five bits of each channel from a 16-bit one.
    void expectPicture(const std::string& path, int x0, int y0, int width, int height) {
        const RootPicture& picture = rootPicture();
        InputFile file(path);
        std::vector<std::byte> start(bmpFileHeaderSize + bmpInfoHeaderSize);
        file.readExact(0, start);
        const auto headers = parseBmpHeaders(start);
        ASSERT_TRUE(headers);
        const int bits = bitsPerPixel(picture.expectedFormat());
        EXPECT_EQ(headers->bitCount, bits);

        const std::vector<std::uint8_t> rgba = decodeRgbaWithImageMagick(path, width, height);
        ASSERT_FALSE(rgba.empty());
        const int shift = bits == 16 ? 3 : 0;
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const PaletteColor want = picture.colourAt(x0 + x, y0 + y);
                const std::uint8_t* got = &rgba[4 * static_cast<std::size_t>(y * width + x)];
                if (got[0] >> shift == want.red >> shift &&
                    got[1] >> shift == want.green >> shift && got[2] >> shift == want.blue >> shift)
                    continue;
                if (wrong++ < 5)
                    ADD_FAILURE() << "pixel " << x << "," << y << " reads " << int{got[0]} << ","
                                  << int{got[1]} << "," << int{got[2]} << " instead of "
                                  << int{want.red} << "," << int{want.green} << ","
                                  << int{want.blue};
            }
        }
    }

    test::TempDir temp_;
    fs::path dir_ = temp_.path();
};

// Inside the screen, and past its edge, where the picture is black.
TEST_F(SnapCommandTest, WritesTheScreenRectangleAsABmp) {
    const int screenWidth = rootPicture().width();
    const struct {
        int x, y, width, height;
    } rects[] = {{13, 17, 301, 77}, {screenWidth - 20, -9, 41, 30}};
    for (const auto& r : rects) {
        const std::string args = std::to_string(r.x) + " " + std::to_string(r.y) + " " +
                                 std::to_string(r.width) + " " + std::to_string(r.height);
        SCOPED_TRACE(args);
        const std::string path = dir_ / "shot.bmp";
        const ToolRun run = snap(args + " " + path);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        expectPicture(path, r.x, r.y, r.width, r.height);
    }
}

TEST_F(SnapCommandTest, CountWritesNumberedPictures) {
    const ToolRun run = snap("--count 3 -2 0 7 5 " + (dir_ / "frame.bmp").string());
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* name : {"frame000001.bmp", "frame000002.bmp", "frame000003.bmp"})
        expectPicture(dir_ / name, -2, 0, 7, 5);
    EXPECT_FALSE(fs::exists(dir_ / "frame.bmp"));
    EXPECT_FALSE(fs::exists(dir_ / "frame000004.bmp"));
}

TEST_F(SnapCommandTest, FailuresGoToStderrWithANonZeroStatus) {
    const std::string missing = dir_ / "missing" / "Pic000001.bmp";
    const ToolRun cannotCreate = snap("0 0 10 10 " + missing);
    EXPECT_EQ(cannotCreate.status, 1);
    EXPECT_EQ(cannotCreate.err, "kadrix-tool snap: Cannot create file \"" + missing +
                                    "\". No such file or directory\n");

    // A device is never replaced, nor written through.
    const ToolRun device = snap("0 0 10 10 /dev/full");
    EXPECT_EQ(device.status, 1);
    EXPECT_EQ(device.err,
              "kadrix-tool snap: Cannot create file \"/dev/full\". Not a regular file\n");

    for (const char* args : {"", "1 2 3 4", "0 0 0 5 x.bmp", "0 0 5 x x.bmp", "0 0 5 5 x.bmp extra",
                             "--count 0 0 0 5 5 x.bmp", "--count 2x 0 0 5 5 x.bmp"}) {
        const ToolRun bad = snap(args);
        EXPECT_EQ(bad.status, 2) << args;
        EXPECT_NE(bad.err.find("usage: kadrix-tool snap"), std::string::npos) << args;
        EXPECT_FALSE(fs::exists(dir_ / "x.bmp")) << args;
    }

    // A Wayland session whose compositor cannot be reached: the X server
    // beside it would give black pictures, so no picture at all.
    const ToolRun wayland = snap("0 0 10 10 w.bmp", "XDG_RUNTIME_DIR='" + dir_.string() +
                                                        "' WAYLAND_DISPLAY=wayland-kadrix-none "
                                                        "DBUS_SESSION_BUS_ADDRESS= ");
    EXPECT_EQ(wayland.status, 1);
    EXPECT_EQ(wayland.err, "kadrix-tool snap: w.bmp: Cannot grab the screen of this Wayland "
                           "session: Cannot connect to the Wayland compositor; No session bus "
                           "for the desktop portal\n");
    EXPECT_FALSE(fs::exists(dir_ / "w.bmp"));

    const ToolRun help = snap("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: kadrix-tool snap"), std::string::npos);
}

} // namespace
} // namespace kadrix
