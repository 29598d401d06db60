// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kadrix {

// The newest picture a stream has sent, read in place in the stream's buffer.
struct StreamFrame {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;
    bool redFirst = false; // RGBx/RGBA bytes; otherwise BGRx/BGRA
    const std::byte* pixels = nullptr;
    std::chrono::steady_clock::time_point arrived;
    std::uint64_t number = 0; // 0: none yet
};

// The PipeWire streams of a screen-cast session, one per monitor, received
// on a thread of their own. Each keeps its newest buffer and gives every
// other back to the sender at once, so nothing is copied until a grab.
class PipeWireFrames {
public:
    // remote: the descriptor the portal opened (taken over); nodes: the
    // streams' node ids. Throws kadrix::Error.
    PipeWireFrames(int remote, const std::vector<std::uint32_t>& nodes);
    ~PipeWireFrames();
    PipeWireFrames(const PipeWireFrames&) = delete;
    PipeWireFrames& operator=(const PipeWireFrames&) = delete;

    struct Loop;
    struct Stream;

    // Holds the streams still (their thread waits) while the caller reads.
    class Hold {
    public:
        explicit Hold(Loop& loop);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Loop& loop_;
    };
    [[nodiscard]] Hold hold() { return Hold(*loop_); }

    // While held: the newest picture of stream index; valid until released.
    StreamFrame frame(std::size_t index) const;
    // While held: whether a stream has ended (the desktop stopped sharing
    // its monitor), so that the session must begin anew.
    bool ended() const;
    // While held: lets the streams run until a picture arrives or the moment
    // passes.
    void waitForPicture(Hold& held, std::chrono::steady_clock::time_point until);

private:
    void connect(int remote, const std::vector<std::uint32_t>& nodes);
    void stop();

    std::unique_ptr<Loop> loop_;
    std::vector<std::unique_ptr<Stream>> streams_;
};

} // namespace kadrix
