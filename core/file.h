// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

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

// A file being written through an owned descriptor. Every write is checked:
// a write that fails or falls short throws "Cannot write file "<name>".
// <reason>", and so does a failed close, so a file is never left half-written
// without a report that says which file and why.
class OutputFile {
public:
    // Writes through fd; reports call the file name.
    OutputFile(UniqueFd fd, std::string name) : name_(std::move(name)), fd_(std::move(fd)) {}

    void write(std::span<const std::byte> bytes);
    void writeAt(std::uint64_t offset, std::span<const std::byte> bytes);
    // Appends length bytes of source from offset. The source must hold them:
    // throws "Read beyond end of file "<source>"" when it ends short.
    void copyFrom(const InputFile& source, std::uint64_t offset, std::uint64_t length);
    std::uint64_t position() const { return position_; }
    // Cuts the file back to its first length bytes and writes on from there:
    // what a failed write left beyond them is gone.
    void cutBack(std::uint64_t length);
    const std::string& name() const { return name_; }
    void close();

private:
    void copyThroughBuffer(const InputFile& source, std::uint64_t offset, std::uint64_t length);
    [[noreturn]] void throwWriteError(int errnoValue) const;

    std::string name_;
    UniqueFd fd_;
    std::uint64_t position_ = 0;
};

// The one way the program writes a file: under a temporary name in the same
// folder, put in place by commit(), dropped unless committed. A file that
// fails half-way therefore never lies there looking whole, and an older file
// of the name stays until the new one is complete.
//
// The temporary file is created afresh with O_EXCL | O_NOFOLLOW, so nothing
// already there (a link planted in a shared folder, say) is ever written
// through, and its name does not end in the file's extension, so file lists
// skip it. Creating afresh is also faster than truncating: on ext4 a
// truncated file is flushed to disk when closed, which doubled the time of a
// large write.
class ReplacementFile {
public:
    // Throws "Cannot create file "<path>". <reason>" when the folder takes no
    // file, when a folder or a device has the name, or when a file there is
    // not writable for us (it is read-only and stays as it is).
    explicit ReplacementFile(std::string path);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    ~ReplacementFile();

    OutputFile& out() { return out_; }
    // Where the file is being written, for a writer that reads back what it
    // wrote (the MP4 muxer, moving its index to the front).
    const std::string& temporaryPath() const { return temporaryPath_; }
    // Closes the file and renames it into place. A file there is replaced,
    // keeping its permissions; a link there is replaced itself, its target
    // untouched. Throws as OutputFile::close, or "Cannot create file
    // "<path>". <reason>" when the rename fails.
    void commit();
    // As commit, but never replaces anything: throws "Cannot create file
    // "<path>". File exists" when something has the name.
    void commitAsNew();

private:
    std::string path_;
    std::string temporaryPath_;
    OutputFile out_;
    bool committed_ = false;
};

// Whether both names lead to one file (the same device and inode, links
// followed). False when either is missing: writing to a missing name
// destroys nothing.
bool sameFile(const std::string& a, const std::string& b);

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

// Deletes a file the program wrote for itself (a recording's frames);
// returns whether it is gone, so a file already gone counts as deleted. A
// file that is left is no failure for the callers: they delete what has been
// kept elsewhere. What the user deletes goes through deleteFile
// (platform/file_operations.h), which refuses read-only files and reports a
// missing one.
bool removeFile(const std::string& path);

} // namespace kadrix
