#pragma once

#include <span>
#include <string_view>

namespace kadrix::tool {

// One sub-command of kadrix-tool. run() gets the arguments after the command
// name and returns the exit status; errors go to stderr.
struct Command {
    std::string_view name;
    std::string_view usage;
    int (*run)(std::span<char* const> args);
};

} // namespace kadrix::tool
