// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/checks/file_type.h"
#include "core/file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace kadrix {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::vector<std::byte> bytes(std::initializer_list<int> values) {
    std::vector<std::byte> out;
    for (const int v : values)
        out.push_back(std::byte(v));
    return out;
}

std::vector<std::byte> text(const std::string& s) {
    const auto* p = reinterpret_cast<const std::byte*>(s.data());
    return {p, p + s.size()};
}

struct TypeCase {
    const char* name;
    std::vector<std::byte> leading;
    FileType expected;
};

const std::vector<TypeCase> typeCases = {
    {"empty", {}, FileType::None},
    {"bitmap", text("BM6\x10\x0e\0\0\0\0\0"s), FileType::Bitmap},
    {"just BM", text("BM"), FileType::Bitmap},
    {"one B", text("B"), FileType::None},
    {"lower-case bm", text("bm\0\0\0\0\0\0\0\0"s), FileType::None},
    {"TIFF little-endian", bytes({0x49, 0x49, 0x2A, 0x00, 8, 0, 0, 0}), FileType::Tiff},
    {"TIFF big-endian", bytes({0x4D, 0x4D, 0x00, 0x2A, 0, 0, 0, 8}), FileType::Tiff},
    {"TIFF cut short", bytes({0x49, 0x49, 0x2A}), FileType::None},
    {"JFIF", bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}), FileType::Jfif},
    {"Exif JPEG is not JFIF", bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x10, 'E', 'x', 'i', 'f'}),
     FileType::None},
    {"JFIF cut at byte 9", bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I'}),
     FileType::None},
    {"bitmap with JFIF at 6: later test wins", text("BM\0\0\0\0JFIF"s), FileType::Jfif},
    {"PNG", bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0, 0}), FileType::Png},
    {"PNG cut short", bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A}), FileType::None},
    {"DCX", bytes({0xB1, 0x68, 0xDE, 0x3A, 0, 0}), FileType::Dcx},
    {"PCX", bytes({0x0A, 0x05, 0x01, 0x08}), FileType::Pcx},
    {"one byte 0A", bytes({0x0A}), FileType::Pcx},
    {"0A with JFIF at 6: PCX wins", bytes({0x0A, 0, 0, 0, 0, 0, 'J', 'F', 'I', 'F'}),
     FileType::Pcx},
    {"placeable metafile", bytes({0xD7, 0xCD, 0xC6, 0x9A, 0, 0}), FileType::Metafile},
    {"enhanced metafile", bytes({0x01, 0x00, 0x00, 0x00, 0x6C, 0, 0, 0}), FileType::Metafile},
    {"enhanced metafile with JFIF at 6", bytes({1, 0, 0, 0, 0, 0, 'J', 'F', 'I', 'F'}),
     FileType::Metafile},
    {"01 00 00 cut short", bytes({0x01, 0x00, 0x00}), FileType::None},
    {"text", text("hello world"), FileType::None},
    // Only the first 10 bytes count: JFIF at 7-10 is not JFIF at 6-9.
    {"JFIF one byte late", text("\0\0\0\0\0\0\0JFIF"s), FileType::None},
};

TEST(FileType, ClassifiesLeadingBytes) {
    for (const TypeCase& c : typeCases)
        EXPECT_EQ(PhysicalResolveFileType(c.leading), c.expected) << c.name;
}

// The tool's names: the content check's type wins; only where it finds none
// do the program's other files count, and a cut-short signature is unknown.
TEST(FileKind, NamesTheProgramsOwnFilesWhereTheContentCheckFindsNone) {
    const struct {
        const char* name;
        std::vector<std::byte> leading;
        int code;
    } cases[] = {
        {"bitmap", text("BM6\x10\x0e\0\0\0\0\0"s), 1},
        {"JFIF", bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'}), 3},
        {"Exif JPEG", bytes({0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x10, 'E', 'x', 'i', 'f'}), 11},
        {"JPEG cut short", bytes({0xFF, 0xD8}), 0},
        {"icon", bytes({0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 32, 32}), 8},
        {"cursor is not an icon", bytes({0x00, 0x00, 0x02, 0x00, 0x01, 0x00}), 0},
        {"enhanced metafile", bytes({0x01, 0x00, 0x00, 0x00, 0x6C, 0, 0, 0}), 7},
        {"AVI", text("RIFF\x10\0\0\0AVI LIST"s), 9},
        {"WAVE", text("RIFF\x24\0\0\0WAVEfmt "s), 10},
        {"RIFF cut before the form", text("RIFF\x24\0\0\0WAV"s), 0},
        {"AVI form without RIFF", text("RIFX\x10\0\0\0AVI "s), 0},
        {"empty", {}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(identifyFile(c.leading).code, c.code) << c.name;
    EXPECT_EQ(identifyFile(bytes({0x00, 0x00, 0x01, 0x00})).name, "Windows icon");
}

class FileTypeOnDisk : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::vector<std::byte>& content) {
        const std::string path = dir_ / name;
        test::writeFile(path, content);
        return path;
    }
    test::TempDir temp_;
    fs::path dir_ = temp_.path();
};

TEST_F(FileTypeOnDisk, ReadsTheFilesOwnFirstBytes) {
    for (const TypeCase& c : typeCases) {
        InputFile file(write("f", c.leading));
        EXPECT_EQ(PhysicalResolveFileType(file), c.expected) << c.name;
    }
    // A long bitmap whose later bytes would match other signatures.
    std::vector<std::byte> long_ = text("BM");
    long_.resize(100000, std::byte{0x0A});
    InputFile file(write("long", long_));
    EXPECT_EQ(PhysicalResolveFileType(file), FileType::Bitmap);
}

TEST(WaveCheck, LooksForWaveAtBytes8To11) {
    struct Case {
        const char* name;
        std::vector<std::byte> leading;
        bool wave;
    };
    std::vector<std::byte> header = text("RIFF\x24\x08\0\0WAVEfmt "s);
    header.resize(44);
    for (const Case& c : std::vector<Case>{
             {"canonical header", header, true},
             {"just 12 bytes", text("RIFF\0\0\0\0WAVE"s), true},
             {"11 bytes", text("RIFF\0\0\0\0WAV"s), false},
             {"empty", {}, false},
             {"AVI form", text("RIFF\0\0\0\0AVI LIST"s), false},
             {"lower case", text("RIFF\0\0\0\0wave"s), false},
             {"WAVE one byte late", text("RIFF\0\0\0\0\0WAVE"s), false},
         })
        EXPECT_EQ(hasWaveForm(c.leading), c.wave) << c.name;
}

TEST_F(FileTypeOnDisk, SoxWaveFilesPassAndShortFilesFail) {
    if (std::system("command -v sox >/dev/null 2>&1") != 0)
        FAIL() << "sox is not installed; it writes the wave file this check reads";
    const std::string wav = (dir_ / "tone.wav").string();
    ASSERT_EQ(std::system(("sox -n -r 8000 -c 1 -b 16 '" + wav + "' synth 0.1 sine 440").c_str()),
              0);
    InputFile sound(wav);
    EXPECT_TRUE(hasWaveForm(sound));
    InputFile shortFile(write("short.wav", text("RIFF\0\0\0\0WAV"s)));
    EXPECT_FALSE(hasWaveForm(shortFile));
    InputFile empty(write("empty.wav", {}));
    EXPECT_FALSE(hasWaveForm(empty));
}

} // namespace
} // namespace kadrix
