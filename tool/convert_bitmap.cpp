#include "core/error.h"
#include "tool/command.h"

#include <exception>

namespace kadrix::tool {

int convertBitmap(std::span<char* const> args,
                  const std::function<void(const std::string& path)>& convert) {
    if (args.size() != 1)
        throw UsageError("one BMP file expected");
    const std::string path = args[0];
    requireBitmap(path);
    try {
        convert(path);
    } catch (const std::exception& error) {
        throw Error(fileError(path, error.what()));
    }
    return 0;
}

} // namespace kadrix::tool
