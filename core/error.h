// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace kadrix {

// Every failure that the library reports: its text is what the user reads in
// the error report, so it names the file and the reason.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An input/output failure of a system call: "<what> "<path>". <system text>".
Error systemError(const std::string& what, const std::string& path, int errnoValue);

// The text of the application's error report: the error's text with a full
// stop appended when its last character sorts after ".".
std::string errorReportText(std::string text);

} // namespace kadrix
