// The kadrix-tool commands end to end: the BMP is decoded by libjpeg-turbo's
// loader, the outputs land beside it and independent readers accept them.
#include "tests/convert/convert_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

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

TEST(ToolConversions, TypePrintsCodeAndName) {
    test::TempDir dir;
    test::writeFile(dir.path("p.bmp"), sampleBmp(24));
    test::writeFile(dir.path("empty"), "");
    EXPECT_EQ(tool("type '" + dir.path("p.bmp") + "' '" + dir.path("empty") + "'"),
              dir.path("p.bmp") + ": 1 Windows bitmap\n" + dir.path("empty") + ": 0 unknown\n");
}

TEST(ToolConversions, AJpegNamedBmpIsRefusedByTheContentCheck) {
    test::TempDir dir;
    test::writeFile(dir.path("p.bmp"), sampleBmp(24));
    tool("jpg '" + dir.path("p.bmp") + "'");
    std::filesystem::rename(dir.path("p.jpg"), dir.path("fake.bmp"));
    const std::string command =
        std::string("'") + KADRIX_TOOL + "' jpg '" + dir.path("fake.bmp") + "' 2>&1";
    const test::CommandResult result = test::runCapturing(command);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "kadrix-tool jpg: Это не BMP формат!\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path("fake.jpg")));
}

} // namespace
} // namespace kadrix
