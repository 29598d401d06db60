// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/media/player_source.h"

#include "core/error.h"

#include <QString>

namespace kadrix {

PlayerSource::PlayerSource(const std::string& path) {
    const QString name = QString::fromStdString(path);
    if (name.toStdString() != path) {
        try {
            held_.emplace(path);
            url_ = QUrl::fromLocalFile(QString("/proc/self/fd/%1").arg(held_->fd()));
            return;
        } catch (const Error&) {
            // Not there or not readable: the player says so for the name.
        }
    }
    url_ = QUrl::fromLocalFile(name);
}

} // namespace kadrix
