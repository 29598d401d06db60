// SPDX-License-Identifier: GPL-3.0-or-later
// The clip check reads the depth our own clips carry, and refuses the ones
// the player cannot show in words that name the file.
#include "core/clip/clip_format.h"
#include "core/clip/create_avi.h"
#include "core/error.h"
#include "core/file.h"
#include "tests/support/convert_test_support.h"

#include <gtest/gtest.h>

namespace kadrix {
namespace {

std::string clipOf(const test::TempDir& dir, int bits) {
    test::BmpRecipe recipe;
    recipe.bits = bits;
    recipe.width = 6;
    recipe.height = 4;
    if (bits == 8)
        recipe.palette = {standardColors.begin(), standardColors.end()};
    recipe.pixel = [](int x, int y) {
        return static_cast<std::uint32_t>(x + y);
    };
    const std::string frame = dir.path("Fr" + std::to_string(bits) + ".bmp");
    test::writeFile(frame, test::makeBmp(recipe));
    const std::string clip = dir.path("Vid" + std::to_string(bits) + ".avi");
    const std::vector<std::string> frames{frame, frame};
    createAvi(clip, frames, 10);
    return clip;
}

TEST(ClipFormat, OurClipsOfEachDepthAreToldApart) {
    test::TempDir dir;
    for (const int bits : {8, 16, 24, 32}) {
        const std::string clip = clipOf(dir, bits);
        const std::vector<std::byte> bytes = test::readFile(clip);
        const auto format = clipPixelFormat(bytes);
        ASSERT_TRUE(format) << bits;
        EXPECT_EQ(format->bitCount, bits);
        InputFile file(clip);
        if (bits >= 24) {
            EXPECT_NO_THROW(checkClipCanBeShown(file)) << bits;
            continue;
        }
        try {
            checkClipCanBeShown(file);
            ADD_FAILURE() << bits << "-bit clip accepted";
        } catch (const Error& error) {
            const std::string text = error.what();
            EXPECT_NE(text.find(clip), std::string::npos) << text;
            EXPECT_NE(text.find(bits == 16 ? "16-битного цвета" : "256 цветов"), std::string::npos)
                << text;
        }
    }
    // Not a clip at all: left to the player, which says what it thinks.
    test::writeFile(dir.path("text.avi"), std::vector<std::byte>(100, std::byte{'x'}));
    InputFile text(dir.path("text.avi"));
    EXPECT_NO_THROW(checkClipCanBeShown(text));
}

} // namespace
} // namespace kadrix
