// SPDX-License-Identifier: GPL-3.0-or-later
// The kadrix-tool commands end to end: the BMP is decoded by libjpeg-turbo's
// loader, the outputs land beside it and independent readers accept them.
#include "tests/support/convert_test_support.h"
#include "tests/support/small_disk.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kadrix {
namespace {

std::string tool(const std::string& arguments) {
    return test::runCommand(std::string("'") + KADRIX_TOOL + "' " + arguments);
}

// 40 x 33: red left of column 20, blue right of it, a white top row.
std::vector<std::byte> sampleBmp(int bits) {
    return test::makeBmp({bits, 40, 33, false, {}, [](int x, int y) -> std::uint32_t {
                              if (y == 0)
                                  return 0xFFFFFF;
                              return x < 20 ? 0xFF0000 : 0x0000FF;
                          }});
}

TEST(ToolConversions, WriteJpegIconAndMetafileBesideThePicture) {
    test::TempDir dir;
    for (const int bits : {24, 32}) {
        const std::string bmp = dir.path("a.b.bmp");
        test::writeFile(bmp, sampleBmp(bits));
        tool("jpg '" + bmp + "'");
        tool("ico '" + bmp + "'");
        tool("emf '" + bmp + "'");

        const test::RgbaImage jpeg = test::decodeWithPillow(dir.path("a.b.jpg"));
        ASSERT_EQ(jpeg.width, 40) << bits;
        ASSERT_EQ(jpeg.height, 33) << bits;
        EXPECT_GT(jpeg.at(5, 20)[0], 235) << "red stays left";
        EXPECT_GT(jpeg.at(35, 20)[2], 235) << "blue stays right";

        const test::RgbaImage icon = test::decodeWithPillow(dir.path("a.b.ico"));
        ASSERT_EQ(icon.width, 32);
        EXPECT_EQ(icon.at(3, 0)[3], 0) << "the white top row is transparent";
        EXPECT_EQ(std::vector<int>(icon.at(3, 5), icon.at(3, 5) + 4),
                  (std::vector<int>{255, 0, 0, 255}));
        EXPECT_EQ(std::vector<int>(icon.at(25, 5), icon.at(25, 5) + 4),
                  (std::vector<int>{0, 0, 255, 255}));

        EXPECT_EQ(std::filesystem::file_size(dir.path("a.b.emf")),
                  108u + 80 + 40 + 40 * 33 * bits / 8 + 20);
    }
}

// The files Kadrix writes and the content check's types, named in the order
// given; an unreadable file in between goes to stderr, named, and sets the
// status without stopping the others.
TEST(ToolCommandLine, TypeNamesEveryFileKadrixWritesInInputOrder) {
    if (!test::haveProgram("sox", "sox"))
        return;
    test::TempDir dir;
    const std::string bmp = dir.path("p.bmp");
    test::writeFile(bmp, sampleBmp(24));
    tool("jpg '" + bmp + "'");
    tool("ico '" + bmp + "'");
    tool("emf '" + bmp + "'");
    tool("avi 10 '" + dir.path("clip.avi") + "' '" + bmp + "' '" + bmp + "'");
    test::runCommand("sox -n -r 8000 -c 1 '" + dir.path("sound.wav") + "' trim 0 0.1");
    // The JPEG without its JFIF segment (APP0 right after the start of image).
    std::vector<std::byte> jpeg = test::readFile(dir.path("p.jpg"));
    ASSERT_EQ(jpeg[3], std::byte{0xE0});
    const std::size_t app0 =
        2 + 2 +
        (std::to_integer<std::size_t>(jpeg[4]) << 8 | std::to_integer<std::size_t>(jpeg[5]));
    jpeg.erase(jpeg.begin() + 2, jpeg.begin() + static_cast<std::ptrdiff_t>(app0));
    test::writeFile(dir.path("bare.jpg"), jpeg);
    test::writeFile(dir.path("empty"), "");

    const std::string missing = dir.path("missing.bmp");
    const std::string names[] = {"p.bmp",    "p.jpg",     "missing.bmp", "p.ico", "p.emf",
                                 "clip.avi", "sound.wav", "bare.jpg",    "empty"};
    std::string arguments;
    for (const std::string& name : names)
        arguments += " '" + dir.path(name) + "'";
    const std::string errors = dir.path("stderr");
    const auto run = [&](const std::string& options) {
        return test::runCapturing(std::string("'") + KADRIX_TOOL + "' type" + options + arguments +
                                  " 2>'" + errors + "'");
    };

    const test::CommandResult plain = run("");
    EXPECT_EQ(plain.status, 1);
    EXPECT_EQ(plain.output, dir.path("p.bmp") + ": Windows bitmap\n" + dir.path("p.jpg") +
                                ": JPEG (JFIF)\n" + dir.path("p.ico") + ": Windows icon\n" +
                                dir.path("p.emf") + ": Windows metafile\n" + dir.path("clip.avi") +
                                ": AVI clip\n" + dir.path("sound.wav") + ": WAVE sound\n" +
                                dir.path("bare.jpg") + ": JPEG\n" + dir.path("empty") +
                                ": unknown\n");
    const std::vector<std::byte> message = test::readFile(errors);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(message.data()), message.size()),
              "kadrix-tool type: Cannot open file \"" + missing +
                  "\". No such file or directory\n");

    const test::CommandResult coded = run(" --code");
    EXPECT_EQ(coded.output, dir.path("p.bmp") + ": 1 Windows bitmap\n" + dir.path("p.jpg") +
                                ": 3 JPEG (JFIF)\n" + dir.path("p.ico") + ": 8 Windows icon\n" +
                                dir.path("p.emf") + ": 7 Windows metafile\n" +
                                dir.path("clip.avi") + ": 9 AVI clip\n" + dir.path("sound.wav") +
                                ": 10 WAVE sound\n" + dir.path("bare.jpg") + ": 11 JPEG\n" +
                                dir.path("empty") + ": 0 unknown\n");
}

// Refusals are English, name the file, go to stderr and leave no output file.
TEST(ToolCommandLine, RefusalsNameTheFile) {
    test::TempDir dir;
    test::writeFile(dir.path("p.bmp"), sampleBmp(24));
    tool("jpg '" + dir.path("p.bmp") + "'");
    std::filesystem::rename(dir.path("p.jpg"), dir.path("fake.bmp"));
    const auto refusal = [&](const std::string& arguments) {
        return test::runCapturing(std::string("'") + KADRIX_TOOL + "' " + arguments +
                                  " 2>&1 >/dev/null");
    };
    const test::CommandResult notBmp = refusal("jpg '" + dir.path("fake.bmp") + "'");
    EXPECT_EQ(notBmp.status, 1);
    EXPECT_EQ(notBmp.output, "kadrix-tool jpg: " + dir.path("fake.bmp") +
                                 ": not a BMP picture (its leading bytes say JPEG (JFIF))\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path("fake.jpg")));

    test::writeFile(dir.path("small.bmp"), test::makeBmp({24, 31, 40, false, {}, [](int, int) {
                                                              return 0u;
                                                          }}));
    const test::CommandResult small = refusal("ico '" + dir.path("small.bmp") + "'");
    EXPECT_EQ(small.status, 1);
    EXPECT_EQ(small.output, "kadrix-tool ico: " + dir.path("small.bmp") +
                                ": a picture of 31 x 40 pixels is smaller than the 32 x 32 icon\n");

    const test::CommandResult usage = refusal("emf");
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.output, "kadrix-tool emf: one BMP file expected\n"
                            "usage: kadrix-tool emf FILE.bmp\n");
}

// What lies at an output's name is never lost to a conversion: not the
// picture itself (a BMP named like its output, or linked to it), not the file
// a link there points to, not an older output when the disk is full.
TEST(ToolCommandLine, AConversionLosesNothingThatLiesAtItsOutputsName) {
    const auto run = [](const std::string& arguments) {
        return test::runCapturing(std::string("'") + KADRIX_TOOL + "' " + arguments + " 2>&1");
    };
    test::TempDir dir;
    const std::vector<std::byte> picture = sampleBmp(24);
    for (const std::string extension : {"jpg", "ico", "emf"}) {
        const std::string named = dir.path("x." + extension);
        const std::string linked = dir.path("y.bmp");
        test::writeFile(named, picture);
        test::writeFile(linked, picture);
        std::filesystem::create_hard_link(linked, dir.path("y." + extension));
        for (const std::string& source : {named, linked}) {
            const test::CommandResult refused = run(extension + " '" + source + "'");
            EXPECT_EQ(refused.status, 1);
            EXPECT_EQ(refused.output, "kadrix-tool " + extension + ": " + source + ": the " +
                                          extension +
                                          " file would be written over the picture itself; "
                                          "nothing written\n");
            EXPECT_EQ(test::readFile(source), picture) << source;
        }
    }

    const std::string notes = dir.path("notes.txt");
    test::writeFile(notes, "the user's notes");
    test::writeFile(dir.path("p.bmp"), picture);
    std::filesystem::create_symlink(notes, dir.path("p.jpg"));
    EXPECT_EQ(run("jpg '" + dir.path("p.bmp") + "'").status, 0);
    EXPECT_FALSE(std::filesystem::is_symlink(dir.path("p.jpg")));
    EXPECT_EQ(test::decodeWithPillow(dir.path("p.jpg")).width, 40);
    EXPECT_EQ(test::readText(notes), "the user's notes");

    const test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::string bmp = disk.path("p.bmp");
    const std::string older = disk.path("p.jpg");
    // Noise, so that its JPEG needs more room than the older one frees.
    test::writeFile(bmp, test::makeBmp({24, 160, 120, false, {}, [](int x, int y) {
                                            return (static_cast<std::uint32_t>(x) * 2654435761u ^
                                                    static_cast<std::uint32_t>(y) * 40503u) &
                                                   0xFFFFFF;
                                        }}));
    std::filesystem::copy_file(dir.path("p.jpg"), older);
    const std::vector<std::byte> good = test::readFile(older);
    disk.fillLeaving(0);
    const test::CommandResult full = run("jpg '" + bmp + "'");
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.output, "kadrix-tool jpg: " + bmp + ": Cannot write file \"" + older +
                               "\". No space left on device\n");
    EXPECT_EQ(test::readFile(older), good);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(disk.str()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"filler", "p.bmp", "p.jpg"}));
}

// --help lists every command in one line each, COMMAND --help gives its
// usage, --version the project's version.
TEST(ToolCommandLine, HelpAndVersion) {
    const std::string help = tool("--help");
    for (const char* command : {"type", "jpg", "ico", "emf", "snap", "avi", "mp4", "webm", "gif"}) {
        const std::string line = std::string("\n  ") + command + " ";
        EXPECT_NE(help.find(line), std::string::npos) << command;
        EXPECT_EQ(tool(std::string(command) + " --help")
                      .rfind(std::string("usage: kadrix-tool ") + command + " ", 0),
                  0u)
            << command;
    }
    EXPECT_EQ(tool("--version"), "kadrix-tool " KADRIX_VERSION "\n");
    const test::CommandResult unknown =
        test::runCapturing(std::string("'") + KADRIX_TOOL + "' frobnicate 2>&1");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.output.rfind("kadrix-tool: unknown command 'frobnicate'\nusage:", 0), 0u);
}

} // namespace
} // namespace kadrix
