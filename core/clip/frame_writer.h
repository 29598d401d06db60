// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/picture/image_view.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kadrix {

// The first frame number from `from` on whose name ("Fr000007.bmp") nothing
// in folder has: files there are never a recording's to write over, whether
// kept from a recording that ended badly or the user's own. Where the system
// cannot tell, that number: writing the frame then says why.
std::int32_t freeFrameNumber(const std::string& folder, std::int32_t from);

// Writes a picture to a file, whole or not at all (as writeBmp does); throws
// kadrix::Error when it cannot.
using FrameSink = std::function<void(const std::string& path, const ImageView& picture)>;

// Writes a recording's frames on a thread of its own, one at a time, so that
// the frame timer does not wait for the disk. A frame is on disk before the
// next one is written. A frame never replaces a file: where its name is
// taken, writing it fails with "Cannot create file "<path>". File exists"
// and the file stays as it is (a file that came after freeFrameNumber()
// looked).
class FrameWriter {
public:
    explicit FrameWriter(FrameSink sink);
    // Waits for the frame in hand.
    ~FrameWriter();
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    // Hands a frame over once the previous one is on disk. The picture's
    // pixels must stay as they are until the next wait() or write().
    // Throws the previous frame's error, as wait() does.
    void write(std::string path, const ImageView& picture);

    // Waits until the last frame handed over is on disk. When it could not
    // be written, throws its error, once; its file, written in part, is gone.
    void wait();

    // How many frames are on disk: those handed over, from the first, up to
    // one that could not be written. A recording takes exactly these.
    std::int32_t written();

private:
    void run();

    FrameSink sink_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool busy_ = false;     // a frame is handed over and not yet on disk
    bool stopping_ = false; // the writer ends
    std::string path_;
    ImageView picture_;
    std::exception_ptr failure_;
    std::int32_t written_ = 0;
    bool failed_ = false; // a frame could not be written: later ones do not count
    std::thread thread_;  // last: it starts once the members above exist
};

} // namespace kadrix
