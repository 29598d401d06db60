#include "core/error.h"
#include "core/file.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

namespace kadrix {
namespace {

namespace fs = std::filesystem;

std::span<const std::byte> bytesOf(const std::string& text) {
    return std::as_bytes(std::span(text.data(), text.size()));
}

class FileTest : public ::testing::Test {
protected:
    test::TempDir temp_;
    fs::path dir_ = temp_.path();
};

TEST_F(FileTest, WritesReplacesAndReadsBack) {
    const std::string path = dir_ / "out.bin";
    {
        OutputFile out(path);
        out.write(bytesOf("a much longer first content"));
        out.close();
    }
    OutputFile out(path);
    out.write(bytesOf("hello"));
    out.writeAt(0, bytesOf("J"));
    EXPECT_EQ(out.position(), 5u);
    out.close();

    InputFile in(path);
    ASSERT_EQ(in.size(), 5u);
    std::vector<std::byte> bytes(5);
    in.readExact(0, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 5), "Jello");
    std::vector<std::byte> tooMany(6);
    EXPECT_EQ(in.readSome(0, tooMany), 5u);
    EXPECT_THROW(in.readExact(0, tooMany), Error);
}

TEST_F(FileTest, CreationFailureNamesThePath) {
    const std::string path = dir_ / "missing" / "Pic000001.bmp";
    try {
        OutputFile out(path);
        FAIL() << "created a file in a missing folder";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
    EXPECT_THROW(InputFile(dir_ / "absent"), Error);
}

TEST_F(FileTest, AFullDiskIsAStreamWriteError) {
    OutputFile out("/dev/full");
    try {
        out.write(bytesOf("x"));
        FAIL() << "a write to a full disk passed";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Stream write error");
    }
}

} // namespace
} // namespace kadrix
