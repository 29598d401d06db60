// kadrix-tool: the library's file formats and screen grab for scripts and
// benchmarks. Every command prints its errors to stderr and exits non-zero.
#include "core/error.h"
#include "tool/commands.h"

#include <cstdio>
#include <exception>
#include <string_view>
#include <vector>

namespace kadrix::tool {

namespace {

// Each command lives in a file of its own (cmd_<name>.cpp) and is listed here.
const std::vector<Command> commands = {
    {"type", "FILE...", runType},
    {"jpg", "FILE.bmp", runJpg},
    {"ico", "FILE.bmp", runIco},
    {"emf", "FILE.bmp", runEmf},
    {"snap", "[--count N] X Y W H FILE.bmp", runSnap},
    {"avi", "RATE OUT.avi FRAME.bmp...", runAvi},
};

int usage(std::FILE* out) {
    std::fputs("usage: kadrix-tool COMMAND ARGS...\n\ncommands:\n", out);
    for (const Command& command : commands)
        std::fprintf(out, "  kadrix-tool %.*s %.*s\n", static_cast<int>(command.name.size()),
                     command.name.data(), static_cast<int>(command.usage.size()),
                     command.usage.data());
    return out == stdout ? 0 : 2;
}

} // namespace

} // namespace kadrix::tool

int main(int argc, char** argv) {
    using namespace kadrix::tool;
    if (argc < 2)
        return usage(stderr);
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help")
        return usage(stdout);
    for (const Command& command : commands) {
        if (command.name != name)
            continue;
        try {
            return command.run(
                std::span<char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "kadrix-tool %s: %s\n", argv[1], error.what());
            return 1;
        }
    }
    std::fprintf(stderr, "kadrix-tool: unknown command '%s'\n", argv[1]);
    return usage(stderr);
}
