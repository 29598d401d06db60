// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/file.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <string>

namespace kadrix {

// A conversion never writes over the picture it converts, as it would for a
// BMP named "x.jpg" and its JPEG: the same file, however named. The refusal
// the user reads when output is the source, else an empty text.
inline QString ownSourceRefusal(const std::string& source, const std::string& output) {
    if (!sameFile(source, output))
        return {};
    return "Файл не может быть записан поверх самого себя: " +
           QFileInfo(QFile::decodeName(QByteArray::fromStdString(output))).fileName();
}

} // namespace kadrix
