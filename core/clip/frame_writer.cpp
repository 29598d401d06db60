// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/clip/frame_writer.h"

#include "core/error.h"
#include "core/file.h"
#include "core/naming/output_name.h"

#include <cerrno>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

namespace kadrix {

std::int32_t freeFrameNumber(const std::string& folder, std::int32_t from) {
    std::int32_t number = from;
    while (number < std::numeric_limits<std::int32_t>::max()) {
        std::error_code error;
        const auto status =
            std::filesystem::symlink_status(outputPath(OutputKind::Frame, number, folder), error);
        if (error || status.type() == std::filesystem::file_type::not_found)
            break;
        ++number;
    }
    return number;
}

FrameWriter::FrameWriter(FrameSink sink) : sink_(std::move(sink)), thread_([this] { run(); }) {}

FrameWriter::~FrameWriter() {
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void FrameWriter::write(std::string path, const ImageView& picture) {
    wait();
    {
        const std::lock_guard lock(mutex_);
        path_ = std::move(path);
        picture_ = picture;
        busy_ = true;
    }
    changed_.notify_all();
}

void FrameWriter::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}

std::int32_t FrameWriter::written() {
    const std::lock_guard lock(mutex_);
    return written_;
}

void FrameWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || stopping_; });
        if (!busy_)
            return;
        lock.unlock();
        std::exception_ptr failure;
        if (entryExists(path_)) {
            // Not ours: frames kept from a recording whose clip failed, or
            // the user's own file. A recording never replaces it.
            failure = std::make_exception_ptr(systemError("Cannot create file", path_, EEXIST));
        } else {
            // A frame that fails is never there: the sink writes it whole
            // or not at all.
            try {
                sink_(path_, picture_);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        lock.lock();
        failed_ = failed_ || failure != nullptr;
        written_ += failed_ ? 0 : 1;
        failure_ = failure;
        busy_ = false;
        changed_.notify_all();
    }
}

} // namespace kadrix
