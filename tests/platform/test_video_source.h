// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace kadrix::test {

// The colour the test pattern has at (x, y), as red, green, blue: the
// coordinates in red and green, the 251 x 241 tile in blue, shifted by phase
// so that the test can tell one picture from the next.
struct PatternColor {
    std::uint8_t red, green, blue;
};
inline PatternColor patternColor(int x, int y, int phase) {
    return {static_cast<std::uint8_t>(x % 251), static_cast<std::uint8_t>(y % 241),
            static_cast<std::uint8_t>((x / 251 * 37 + y / 241 * 71 + 40 + phase) % 256)};
}

// A PipeWire video source sending the pattern 30 times a second, as a
// desktop's screen cast does, in the byte order asked for.
class TestVideoSource {
public:
    enum class Order { Bgrx, Rgbx };
    TestVideoSource(int width, int height, Order order);
    ~TestVideoSource();
    TestVideoSource(const TestVideoSource&) = delete;
    TestVideoSource& operator=(const TestVideoSource&) = delete;

    // The stream's node, for the portal's backend to name.
    std::uint32_t node() const;
    // The pattern's phase from the next picture on.
    void setPhase(int phase) { phase_ = phase; }
    // The same, returning once a picture of it has gone out to a consumer:
    // the screen shows it.
    void showPhase(int phase);
    // Sends no more pictures (a screen that stays still), or again.
    void setSending(bool sending) { sending_ = sending; }
    // Sends again at once, the pattern at phase (the screen changed).
    void resume(int phase);

    struct Pipe;

private:
    std::unique_ptr<Pipe> pipe_;
    std::atomic<int> phase_ = 0;
    std::atomic<int> sentPhase_ = -1;
    std::atomic<bool> sending_ = true;

    friend struct Pipe;
};

} // namespace kadrix::test
