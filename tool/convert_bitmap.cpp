// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/error.h"
#include "core/file.h"
#include "core/path.h"
#include "tool/command.h"

#include <exception>

namespace kadrix::tool {

int convertBitmap(std::span<char* const> args, std::string_view extension,
                  const std::function<void(const std::string& path)>& convert) {
    if (args.size() != 1)
        throw UsageError("one BMP file expected");
    const std::string path = args[0];
    requireBitmap(path);
    // A BMP named "x.jpg" would be replaced by its own JPEG.
    if (sameFile(path, replaceExtension(path, extension)))
        throw Error(path + ": the " + std::string(extension.substr(1)) +
                    " file would be written over the picture itself; nothing written");
    try {
        convert(path);
    } catch (const std::exception& error) {
        throw Error(fileError(path, error.what()));
    }
    return 0;
}

} // namespace kadrix::tool
