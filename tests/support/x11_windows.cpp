// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/x11_windows.h"

#include <QProcess>
#include <QRegularExpression>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace kadrix::test {

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

} // namespace

QString xdotool(const QStringList& args) {
    return run("xdotool", args);
}

QString visibleWindowOf(qint64 pid) {
    return xdotool({"search", "--onlyvisible", "--pid", QString::number(pid)}).section('\n', 0, 0);
}

QString windowOfSize(qint64 pid, QSize size) {
    const QStringList windows =
        xdotool({"search", "--pid", QString::number(pid)}).split('\n', Qt::SkipEmptyParts);
    for (const QString& window : windows) {
        if (geometryOf(window).size() == size)
            return window;
    }
    return {};
}

QRect geometryOf(const QString& window) {
    const QString info = run("xwininfo", {"-id", window});
    auto number = [&](const char* label) {
        const QRegularExpression line(QString::fromLatin1(label) + ":\\s+(-?\\d+)");
        return line.match(info).captured(1).toInt();
    };
    return {number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
            number("Height")};
}

bool isViewable(const QString& window) {
    return run("xwininfo", {"-id", window}).contains("Map State: IsViewable");
}

bool notificationAreaPresent() {
    int screen = 0;
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(
        xcb_connect(nullptr, &screen), &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()))
        return false;
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(
            connection.get(),
            xcb_intern_atom(connection.get(), 0, static_cast<uint16_t>(name.size()), name.c_str()),
            nullptr),
        &std::free);
    if (!atom)
        return false;
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(
            connection.get(), xcb_get_selection_owner(connection.get(), atom->atom), nullptr),
        &std::free);
    return owner && owner->owner != XCB_WINDOW_NONE;
}

QString wmStateOf(const QString& window) {
    const QString state = run("xprop", {"-id", window, "WM_STATE"});
    const QRegularExpression line("window state:\\s+(\\w+)");
    return line.match(state).captured(1);
}

} // namespace kadrix::test
