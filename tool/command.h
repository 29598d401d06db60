// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kadrix::tool {

// One sub-command of kadrix-tool. run() gets the arguments after the command
// name and returns the exit status; it throws UsageError for arguments it
// cannot take and kadrix::Error (or FileError) for a failed file.
struct Command {
    std::string_view name;
    std::string_view usage;   // the arguments, as "kadrix-tool NAME USAGE"
    std::string_view summary; // one line for kadrix-tool --help
    std::string_view details; // the rest of kadrix-tool NAME --help
    int (*run)(std::span<char* const> args);
};

// Arguments the command cannot take; the tool prints the text and the
// command's usage and exits with status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure while working on one file, with that file's name in front of the
// reason unless the reason already names it.
std::string fileError(const std::string& path, const std::string& reason);

// Throws, in English and naming the file, unless its leading bytes are a
// bitmap's: the conversions take BMP pictures only.
void requireBitmap(const std::string& path);

// The conversions of one BMP picture (kadrix-tool jpg|ico|emf FILE.bmp):
// takes exactly one argument, requires it to be a bitmap whose output (its
// name with extension) is another file, then runs convert(path), which
// writes that file beside it. A failure is an error naming the picture.
// Returns the exit status.
int convertBitmap(std::span<char* const> args, std::string_view extension,
                  const std::function<void(const std::string& path)>& convert);

// Whether text is a decimal int (digits after an optional "-", nothing
// else), and then its value.
bool parseInt(std::string_view text, int& value);

} // namespace kadrix::tool
