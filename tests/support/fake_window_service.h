// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/window_service.h"

#include <memory>
#include <vector>

namespace kadrix {

// A display held in memory for tests of code that takes a window off the
// screen: it records what it was asked and whether a window is away now.
class FakeWindowService final : public WindowService {
public:
    bool canTakeAway() const override { return true; }
    std::unique_ptr<WindowAway> takeAway(NativeWindow window,
                                         const std::vector<ScreenRect>& shape) override {
        ++takenAway_;
        lastWindow_ = window;
        lastShape_ = shape;
        return std::make_unique<Away>(away_);
    }
    void flush() override { ++flushes_; }

    bool isAway() const { return away_; }
    int takenAway() const { return takenAway_; }
    int flushes() const { return flushes_; }
    NativeWindow lastWindow() const { return lastWindow_; }
    const std::vector<ScreenRect>& lastShape() const { return lastShape_; }

private:
    class Away final : public WindowAway {
    public:
        explicit Away(bool& away) : away_(away) { away_ = true; }
        ~Away() override { away_ = false; }

    private:
        bool& away_;
    };

    bool away_ = false;
    int takenAway_ = 0;
    int flushes_ = 0;
    NativeWindow lastWindow_ = 0;
    std::vector<ScreenRect> lastShape_;
};

} // namespace kadrix
