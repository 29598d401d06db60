// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/file.h"

#include "core/error.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kadrix {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.release();
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    close();
}

int UniqueFd::release() {
    return std::exchange(fd_, -1);
}

int UniqueFd::close() {
    if (fd_ < 0)
        return 0;
    return ::close(std::exchange(fd_, -1));
}

namespace {

// Copies move kernel-side where the kernel can: the bytes never pass through
// our memory, and file systems that share extents may share them. Where the
// kernel refuses (another file system, a device, an old kernel) they pass
// through a buffer of this size, small enough to stay in the caches: with
// 1 MiB the copy of a clip's frames took two to three times as long as cat.
constexpr std::uint64_t copyBufferSize = std::uint64_t{1} << 17;

bool kernelRefusesCopy(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

Error readBeyondEnd(const InputFile& source) {
    return Error("Read beyond end of file \"" + source.path() + "\"");
}

} // namespace

void OutputFile::write(std::span<const std::byte> bytes) {
    writeAt(position_, bytes);
    position_ += bytes.size();
}

void OutputFile::writeAt(std::uint64_t offset, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        const ssize_t n =
            ::pwrite(fd_.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwWriteError(errno);
        // Nothing written and no error: the device has no room.
        if (n == 0)
            throwWriteError(ENOSPC);
        bytes = bytes.subspan(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
}

void OutputFile::copyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length) {
    while (length > 0) {
        auto from = static_cast<off_t>(offset);
        auto to = static_cast<off_t>(position_);
        const ssize_t n = ::copy_file_range(source.fd(), &from, fd_.get(), &to,
                                            static_cast<std::size_t>(length), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && kernelRefusesCopy(errno))
            return copyThroughBuffer(source, offset, length);
        if (n < 0)
            throwWriteError(errno);
        // Nothing copied: the source ends short of what it must hold.
        if (n == 0)
            throw readBeyondEnd(source);
        offset += static_cast<std::uint64_t>(n);
        position_ += static_cast<std::uint64_t>(n);
        length -= static_cast<std::uint64_t>(n);
    }
}

void OutputFile::copyThroughBuffer(const InputFile& source, std::uint64_t offset,
                                   std::uint64_t length) {
    const auto buffer = std::make_unique_for_overwrite<std::byte[]>(
        static_cast<std::size_t>(std::min<std::uint64_t>(length, copyBufferSize)));
    while (length > 0) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, copyBufferSize));
        if (source.readSome(offset, {buffer.get(), piece}) != piece)
            throw readBeyondEnd(source);
        write({buffer.get(), piece});
        offset += piece;
        length -= piece;
    }
}

void OutputFile::cutBack(std::uint64_t length) {
    while (::ftruncate(fd_.get(), static_cast<off_t>(length)) != 0)
        if (errno != EINTR)
            throwWriteError(errno);
    position_ = length;
}

void OutputFile::close() {
    if (fd_.close() != 0)
        throwWriteError(errno);
}

void OutputFile::throwWriteError(int errnoValue) const {
    throw systemError("Cannot write file", name_, errnoValue);
}

namespace {

// Temporary names differ within the process by this number and between
// processes by the process id.
std::atomic<unsigned> temporaryNumber{0};

// The temporary name beside path: "<name>.<pid>-<number>.part", the name cut
// short (at a character's start) so that the whole stays within the 255
// bytes a file name may have.
std::string temporaryStem(const std::string& path) {
    constexpr std::size_t longestName = 200;
    const std::size_t nameStart = path.rfind('/') + 1; // npos + 1 is 0
    std::size_t nameEnd = path.size();
    if (nameEnd - nameStart > longestName) {
        nameEnd = nameStart + longestName;
        while (nameEnd > nameStart && (static_cast<unsigned char>(path[nameEnd]) & 0xc0) == 0x80)
            --nameEnd;
    }
    return path.substr(0, nameEnd) + "." + std::to_string(::getpid()) + "-";
}

// Checks what has the name now and creates the temporary file beside it;
// returns its descriptor and sets temporaryPath.
UniqueFd createBeside(const std::string& path, std::string& temporaryPath) {
    struct stat existing {};
    const bool exists = ::lstat(path.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        throw systemError("Cannot create file", path, errno);
    if (exists && S_ISDIR(existing.st_mode))
        throw systemError("Cannot create file", path, EISDIR);
    if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
        throw Error("Cannot create file \"" + path + "\". Not a regular file");
    const bool replacesFile = exists && S_ISREG(existing.st_mode);
    // A file we could not open for writing stays: a rename would replace it
    // all the same, since that asks only the folder.
    if (replacesFile && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        throw systemError("Cannot create file", path, errno);

    const std::string stem = temporaryStem(path);
    for (;;) {
        temporaryPath = stem + std::to_string(temporaryNumber++) + ".part";
        UniqueFd fd(::open(temporaryPath.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd) {
            // Our own fresh file: the change of its mode cannot fail.
            if (replacesFile)
                ::fchmod(fd.get(), existing.st_mode & 0777);
            return fd;
        }
        if (errno != EEXIST)
            throw systemError("Cannot create file", path, errno);
    }
}

} // namespace

ReplacementFile::ReplacementFile(std::string path)
    : path_(std::move(path)), out_(createBeside(path_, temporaryPath_), path_) {}

ReplacementFile::~ReplacementFile() {
    if (!committed_)
        ::unlink(temporaryPath_.c_str());
}

void ReplacementFile::commit() {
    out_.close();
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0)
        throw systemError("Cannot create file", path_, errno);
    committed_ = true;
}

void ReplacementFile::commitAsNew() {
    out_.close();
    if (::renameat2(AT_FDCWD, temporaryPath_.c_str(), AT_FDCWD, path_.c_str(), RENAME_NOREPLACE) ==
        0) {
        committed_ = true;
        return;
    }
    // A file system without the flag: a hard link never replaces either.
    if (errno != EINVAL || ::link(temporaryPath_.c_str(), path_.c_str()) != 0)
        throw systemError("Cannot create file", path_, errno);
    committed_ = true;
    ::unlink(temporaryPath_.c_str());
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

InputFile::InputFile(std::string path) : path_(std::move(path)) {
    fd_ = UniqueFd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd_)
        throw systemError("Cannot open file", path_, errno);
}

std::uint64_t InputFile::size() const {
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0)
        throw systemError("Cannot read file", path_, errno);
    return static_cast<std::uint64_t>(st.st_size);
}

std::size_t InputFile::readSome(std::uint64_t offset, std::span<std::byte> bytes) const {
    std::size_t total = 0;
    while (total < bytes.size()) {
        const ssize_t n = ::pread(fd_.get(), bytes.data() + total, bytes.size() - total,
                                  static_cast<off_t>(offset + total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw systemError("Cannot read file", path_, errno);
        if (n == 0)
            break;
        total += static_cast<std::size_t>(n);
    }
    return total;
}

void InputFile::readExact(std::uint64_t offset, std::span<std::byte> bytes) const {
    if (readSome(offset, bytes) != bytes.size())
        throw Error("Read beyond end of file \"" + path_ + "\"");
}

bool entryExists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 || errno != ENOENT;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

} // namespace kadrix
