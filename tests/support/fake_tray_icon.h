// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/tray_icon.h"

namespace kadrix::test {

// A notification area that the test controls: whether it exists, clicks on
// the icon, and what the window asked of it.
class FakeTrayIcon final : public TrayIcon {
public:
    explicit FakeTrayIcon(bool available) : available_(available) {}

    bool available() override { return available_; }
    void add() override {
        shown_ = true;
        ++adds_;
    }
    void remove() override { shown_ = false; }
    void setMenu(QMenu* menu) override { menu_ = menu; }

    bool shown() const { return shown_; }
    // How often the window asked for the icon.
    int adds() const { return adds_; }
    QMenu* menu() const { return menu_; }
    void setAvailable(bool available) {
        available_ = available;
        emit availabilityChanged(available);
    }
    void click() { emit clicked(); }

private:
    bool available_;
    bool shown_ = false;
    int adds_ = 0;
    QMenu* menu_ = nullptr;
};

} // namespace kadrix::test
