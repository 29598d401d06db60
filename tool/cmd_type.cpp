#include "browser/file_type.h"
#include "core/file.h"
#include "tool/commands.h"

#include <cstdio>
#include <exception>

namespace kadrix::tool {

// kadrix-tool type FILE...: the content check's code and name for each file.
int runType(std::span<char* const> args) {
    if (args.empty()) {
        std::fputs("usage: kadrix-tool type FILE...\n", stderr);
        return 2;
    }
    int status = 0;
    for (const char* path : args) {
        try {
            InputFile file(path);
            const FileType type = PhysicalResolveFileType(file);
            const std::string_view name = fileTypeName(type);
            std::printf("%s: %d %.*s\n", path, static_cast<int>(type),
                        static_cast<int>(name.size()), name.data());
        } catch (const std::exception& error) {
            std::fprintf(stderr, "kadrix-tool type: %s\n", error.what());
            status = 1;
        }
    }
    return status;
}

} // namespace kadrix::tool
