#include "core/error.h"
#include "core/file.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
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

// The copy moves kernel-side within one file system and through a buffer
// where the kernel refuses: from tmpfs to the temporary folder's file system,
// or into a device. Both take exactly the bytes asked for, after what the
// file already holds, and a source that ends short is a write error.
TEST_F(FileTest, CopiesFromAnOffsetWithinAndAcrossFileSystems) {
    std::string pattern(3 << 17, '\0');
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<char>(i * 7 + i / 251);
    std::vector<fs::path> sources{dir_ / "frame.bin"};
    std::optional<test::TempDir> shared;
    if (fs::is_directory("/dev/shm")) {
        shared.emplace("kadrix-test", "/dev/shm");
        sources.push_back(shared->path() / "frame.bin");
    }
    for (const fs::path& sourcePath : sources) {
        SCOPED_TRACE(sourcePath.string());
        {
            OutputFile frame(sourcePath);
            frame.write(bytesOf(pattern));
            frame.close();
        }
        const InputFile source(sourcePath);
        const std::string path = dir_ / "clip.bin";
        OutputFile out(path);
        out.write(bytesOf("head"));
        out.copyFrom(source, 54, pattern.size() - 54);
        EXPECT_EQ(out.position(), 4 + pattern.size() - 54);
        EXPECT_THROW(out.copyFrom(source, 54, pattern.size()), Error);
        out.close();

        const InputFile in(path);
        std::vector<std::byte> bytes(4 + pattern.size() - 54);
        in.readExact(0, bytes);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                  "head" + pattern.substr(54));

        OutputFile full("/dev/full");
        EXPECT_THROW(full.copyFrom(source, 0, pattern.size()), Error);
    }
}

} // namespace
} // namespace kadrix
