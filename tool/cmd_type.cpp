// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/checks/file_type.h"
#include "core/file.h"
#include "tool/commands.h"

#include <array>
#include <cstdio>
#include <exception>
#include <string_view>

namespace kadrix::tool {

constinit const std::string_view typeDetails =
    "Prints one line per FILE, in the order given: \"FILE: NAME\", or with --code\n"
    "\"FILE: CODE NAME\". The type comes from the file's leading bytes, never its\n"
    "name. Codes 1-7 are the window's content check (1 Windows bitmap, 2 TIFF,\n"
    "3 JPEG (JFIF), 4 PNG, 5 DCX, 6 PCX, 7 Windows metafile); 8-11 are the other\n"
    "files Kadrix writes (8 Windows icon, 9 AVI clip, 10 WAVE sound, 11 JPEG\n"
    "without JFIF); 0 is unknown. A file that cannot be read is reported on\n"
    "stderr and the exit status is 1.\n";

// kadrix-tool type [--code] FILE...
int runType(std::span<char* const> args) {
    const bool withCode = !args.empty() && std::string_view(args[0]) == "--code";
    if (withCode)
        args = args.subspan(1);
    if (args.empty())
        throw UsageError("no file given");
    int status = 0;
    for (const char* path : args) {
        try {
            InputFile file(path);
            std::array<std::byte, fileKindProbeSize> leading{};
            const FileKind kind = identifyFile(std::span(leading).first(file.readSome(0, leading)));
            if (withCode)
                std::printf("%s: %d %.*s\n", path, kind.code, static_cast<int>(kind.name.size()),
                            kind.name.data());
            else
                std::printf("%s: %.*s\n", path, static_cast<int>(kind.name.size()),
                            kind.name.data());
        } catch (const std::exception& error) {
            // Results and messages interleave in input order when both go to
            // one terminal.
            std::fflush(stdout);
            std::fprintf(stderr, "kadrix-tool type: %s\n", fileError(path, error.what()).c_str());
            status = 1;
        }
    }
    return status;
}

} // namespace kadrix::tool
