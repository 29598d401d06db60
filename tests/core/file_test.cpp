// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/error.h"
#include "core/file.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
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

// The folder's names, sorted.
std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(FileTest, ReplacesAFileOnlyOnceTheNewOneIsComplete) {
    const std::string path = dir_ / "out.bin";
    test::writeFile(path, "a much longer first content");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        ReplacementFile dropped(path);
        dropped.out().write(bytesOf("half"));
        const std::vector<std::string> names = namesIn(dir_);
        ASSERT_EQ(names.size(), 2u);
        EXPECT_FALSE(names[1].ends_with(".bin")) << names[1] << ": file lists would show it";
    }
    EXPECT_EQ(test::readText(path), "a much longer first content");
    EXPECT_EQ(namesIn(dir_), std::vector<std::string>{"out.bin"});

    ReplacementFile file(path);
    file.out().write(bytesOf("hello"));
    file.out().writeAt(0, bytesOf("J"));
    EXPECT_EQ(file.out().position(), 5u);
    EXPECT_EQ(test::readText(path), "a much longer first content");
    file.commit();
    EXPECT_EQ(namesIn(dir_), std::vector<std::string>{"out.bin"});
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    InputFile in(path);
    ASSERT_EQ(in.size(), 5u);
    std::vector<std::byte> bytes(5);
    in.readExact(0, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 5), "Jello");
    std::vector<std::byte> tooMany(6);
    EXPECT_EQ(in.readSome(0, tooMany), 5u);
    EXPECT_THROW(in.readExact(0, tooMany), Error);
}

// A link at the name, planted in a shared folder or left by the user, is
// replaced itself; whatever it points to is never written.
TEST_F(FileTest, LinksAtTheNameAreReplacedNeverWrittenThrough) {
    const std::string target = dir_ / "precious.txt";
    test::writeFile(target, "precious");
    const std::string path = dir_ / "out.jpg";
    const std::string dangling = dir_ / "dangling.jpg";
    fs::create_symlink(target, path);
    fs::create_symlink(dir_ / "created.txt", dangling);
    for (const std::string& name : {path, dangling}) {
        ReplacementFile file(name);
        file.out().write(bytesOf("new"));
        file.commit();
        EXPECT_FALSE(fs::is_symlink(name));
        EXPECT_EQ(test::readText(name), "new");
    }
    EXPECT_EQ(test::readText(target), "precious");
    EXPECT_FALSE(fs::exists(dir_ / "created.txt"));

    // commitAsNew replaces nothing, a link neither.
    fs::create_symlink(target, dir_ / "link.bin");
    for (const std::string name : {"out.jpg", "link.bin"}) {
        ReplacementFile file(dir_ / name);
        file.out().write(bytesOf("newer"));
        try {
            file.commitAsNew();
            ADD_FAILURE() << name << " replaced";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot create file \"" + (dir_ / name).string() + "\". File exists");
        }
    }
    EXPECT_EQ(test::readText(path), "new");
    EXPECT_EQ(test::readText(target), "precious");
    ReplacementFile fresh(dir_ / "fresh.bin");
    fresh.out().write(bytesOf("fresh"));
    fresh.commitAsNew();
    EXPECT_EQ(test::readText(dir_ / "fresh.bin"), "fresh");
    EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"dangling.jpg", "fresh.bin", "link.bin",
                                                       "out.jpg", "precious.txt"}));
}

TEST_F(FileTest, CreationFailuresNameTheFileAndLeaveWhatIsThere) {
    const std::string missing = dir_ / "missing" / "Pic000001.bmp";
    const std::string folder = dir_ / "Pic000002.bmp";
    const std::string pipe = dir_ / "Pic000003.bmp";
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {missing, "No such file or directory"},
        {folder, "Is a directory"},
        {pipe, "Not a regular file"},
    };
    for (const auto& [path, reason] : cases) {
        try {
            ReplacementFile file(path);
            ADD_FAILURE() << "created " << path;
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + path + "\". " + reason);
        }
    }
    EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"Pic000002.bmp", "Pic000003.bmp"}));
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_THROW(InputFile(dir_ / "absent"), Error);
}

TEST_F(FileTest, AFullDiskKeepsTheOlderFileAndTheReportSaysWhichAndWhy) {
    const UniqueFd full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(full);
    OutputFile device(UniqueFd(::dup(full.get())), "/dev/full");
    try {
        device.write(bytesOf("x"));
        FAIL() << "a write to a full disk passed";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot write file \"/dev/full\". No space left on device");
    }

    const test::SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why();
    const std::string path = disk.path("Pic000001.bmp");
    test::writeFile(path, std::string(300 << 10, 'o'));
    const std::string big(2 << 20, 'n');
    try {
        ReplacementFile file(path);
        file.out().write(bytesOf(big));
        file.commit();
        FAIL() << "2 MiB written on a 1 MiB disk";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write file \"" + path + "\". No space left on device");
    }
    EXPECT_EQ(test::readText(path), std::string(300 << 10, 'o'));
    EXPECT_EQ(namesIn(disk.str()), std::vector<std::string>{"Pic000001.bmp"});
}

TEST_F(FileTest, SameFileComparesDeviceAndInode) {
    const std::string picture = dir_ / "a.JPG";
    test::writeFile(picture, "BM");
    test::writeFile(dir_ / "b.jpg", "BM");
    fs::create_hard_link(picture, dir_ / "hard.jpg");
    fs::create_symlink(picture, dir_ / "soft.jpg");
    EXPECT_TRUE(sameFile(picture, picture));
    EXPECT_TRUE(sameFile(picture, (dir_ / "." / "a.JPG").string()));
    EXPECT_TRUE(sameFile(picture, dir_ / "hard.jpg"));
    EXPECT_TRUE(sameFile(picture, dir_ / "soft.jpg"));
    EXPECT_FALSE(sameFile(picture, dir_ / "b.jpg"));
    EXPECT_FALSE(sameFile(picture, dir_ / "a.jpg"));
    EXPECT_FALSE(sameFile(dir_ / "absent", dir_ / "absent"));
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
        test::writeFile(sourcePath, pattern);
        const InputFile source(sourcePath);
        const std::string path = dir_ / "clip.bin";
        ReplacementFile clip(path);
        OutputFile& out = clip.out();
        out.write(bytesOf("head"));
        out.copyFrom(source, 54, pattern.size() - 54);
        EXPECT_EQ(out.position(), 4 + pattern.size() - 54);
        try {
            out.copyFrom(source, 54, pattern.size());
            ADD_FAILURE() << "copied more than the source holds";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Read beyond end of file \"" + sourcePath.string() + "\"");
        }
        clip.commit();

        const InputFile in(path);
        std::vector<std::byte> bytes(4 + pattern.size() - 54);
        in.readExact(0, bytes);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                  "head" + pattern.substr(54));

        OutputFile full(UniqueFd(::open("/dev/full", O_WRONLY | O_CLOEXEC)), "/dev/full");
        EXPECT_THROW(full.copyFrom(source, 0, pattern.size()), Error);
    }
}

} // namespace
} // namespace kadrix
