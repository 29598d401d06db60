// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file.h"

#include <QUrl>
#include <optional>
#include <string>

namespace kadrix {

// What a Qt player is given to open the file at path. Qt Multimedia turns a
// file URL into text on its way to GStreamer, and a name that is not UTF-8
// comes out naming another file. Such a file is opened here, and the player
// is given /proc/self/fd/N, which the kernel resolves to the file itself;
// the file stays open as long as this object.
class PlayerSource {
public:
    explicit PlayerSource(const std::string& path);

    const QUrl& url() const { return url_; }

private:
    std::optional<InputFile> held_;
    QUrl url_;
};

} // namespace kadrix
