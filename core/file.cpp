#include "core/file.h"

#include "core/error.h"

#include <algorithm>
#include <cerrno>
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

Error streamWriteError() {
    return Error("Stream write error");
}

// Copies move kernel-side where the kernel can: the bytes never pass through
// our memory, and file systems that share extents may share them. Where the
// kernel refuses (another file system, a device, an old kernel) they pass
// through a buffer of this size, small enough to stay in the caches: with
// 1 MiB the copy of a clip's frames took two to three times as long as cat.
constexpr std::uint64_t copyBufferSize = std::uint64_t{1} << 17;

bool kernelRefusesCopy(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

} // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    fd_ = UniqueFd(::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!fd_)
        throw systemError("Cannot create file", path_, errno);
}

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
        if (n <= 0)
            throw streamWriteError();
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
        // Nothing copied: the source ends short of what it must hold.
        if (n <= 0)
            throw streamWriteError();
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
            throw streamWriteError();
        write({buffer.get(), piece});
        offset += piece;
        length -= piece;
    }
}

void OutputFile::close() {
    if (fd_.close() != 0)
        throw streamWriteError();
}

namespace {

// A name beside path that no file has.
std::string unusedNameBeside(const std::string& path) {
    const std::string stem = path + "." + std::to_string(::getpid()) + "-";
    for (unsigned attempt = 0;; ++attempt) {
        std::string candidate = stem + std::to_string(attempt) + ".part";
        if (::access(candidate.c_str(), F_OK) != 0)
            return candidate;
    }
}

} // namespace

ReplacementFile::ReplacementFile(std::string path)
    : path_(std::move(path)), out_(unusedNameBeside(path_)) {}

ReplacementFile::~ReplacementFile() {
    if (!committed_)
        ::unlink(out_.path().c_str());
}

void ReplacementFile::commit() {
    out_.close();
    if (::rename(out_.path().c_str(), path_.c_str()) != 0)
        throw systemError("Cannot create file", path_, errno);
    committed_ = true;
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
