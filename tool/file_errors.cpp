// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/checks/file_type.h"
#include "core/error.h"
#include "core/file.h"
#include "tool/command.h"

namespace kadrix::tool {

std::string fileError(const std::string& path, const std::string& reason) {
    return reason.find(path) == std::string::npos ? path + ": " + reason : reason;
}

void requireBitmap(const std::string& path) {
    InputFile file(path);
    const FileType type = PhysicalResolveFileType(file);
    if (type != FileType::Bitmap)
        throw Error(path + ": not a BMP picture (its leading bytes say " +
                    std::string(fileTypeName(type)) + ")");
}

} // namespace kadrix::tool
