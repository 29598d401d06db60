#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kadrix {

class InputFile;

// An owned POSIX file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release();
    // Closes now and reports the result (a deferred write error shows here).
    int close();

private:
    int fd_ = -1;
};

// A file created (or truncated) for writing. Every write is checked: a write
// that fails or falls short throws "Stream write error", and so does a failed
// close, so a file is never left half-written without a report.
class OutputFile {
public:
    // Throws "Cannot create file "<path>". <reason>" when it cannot be created.
    explicit OutputFile(std::string path);

    void write(std::span<const std::byte> bytes);
    void writeAt(std::uint64_t offset, std::span<const std::byte> bytes);
    // Appends length bytes of source from offset. The source must hold them:
    // a failure is a write error.
    void copyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length);
    std::uint64_t position() const { return position_; }
    const std::string& path() const { return path_; }
    void close();

private:
    void copyThroughBuffer(const InputFile& source, std::uint64_t offset, std::uint64_t length);

    std::string path_;
    UniqueFd fd_;
    std::uint64_t position_ = 0;
};

// A file written under a temporary name beside its path and put in place by
// commit(); dropped unless committed, so a file that fails half-way never
// lies there looking whole. The temporary name does not end in the file's
// extension, so file lists skip it. The file is created afresh rather than
// truncated: on ext4 a truncated file is flushed to disk when closed, which
// doubled the time of a large write.
class ReplacementFile {
public:
    // Throws "Cannot create file "<temporary path>". <reason>".
    explicit ReplacementFile(std::string path);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile();

    OutputFile& out() { return out_; }
    // Closes the file and renames it into place, replacing a file there.
    // Throws "Stream write error" when the close fails, "Cannot create file
    // "<path>". <reason>" when the rename does.
    void commit();

private:
    std::string path_;
    OutputFile out_;
    bool committed_ = false;
};

// A file opened for reading; reads throw on failure or a short read.
class InputFile {
public:
    // Throws "Cannot open file "<path>". <reason>".
    explicit InputFile(std::string path);

    std::uint64_t size() const;
    // Reads up to bytes.size() bytes from offset; returns how many were read.
    std::size_t readSome(std::uint64_t offset, std::span<std::byte> bytes) const;
    // Reads exactly bytes.size() bytes from offset or throws.
    void readExact(std::uint64_t offset, std::span<std::byte> bytes) const;
    const std::string& path() const { return path_; }
    int fd() const { return fd_.get(); }

private:
    std::string path_;
    UniqueFd fd_;
};

// Whether anything has this name: a file, a folder, a link (dangling too).
// When the system cannot tell, something has.
bool entryExists(const std::string& path);

// Deletes a file; returns whether it is gone. A file that is left is no
// failure for the callers: they delete what has been kept elsewhere.
bool removeFile(const std::string& path);

} // namespace kadrix
