// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kadrix {

// Whether a file name matches a file-list mask such as "*.bmp". "*" stands
// for any run of characters, everything else for itself, with ASCII letters
// compared without regard to case ("*.bmp" takes "X.BMP" too, as camera
// files are often named). "*.*" takes every name, with or without a dot.
bool matchesMask(std::string_view name, std::string_view mask);

// The regular files of folder (also through symbolic links) whose names
// match mask, in display order. Names are the raw bytes from the filesystem,
// so each can be opened whatever its encoding. Names beginning with "." are
// left out. Throws kadrix::Error naming the folder when it cannot be read.
std::vector<std::string> listFiles(const std::string& folder, std::string_view mask);

// The subfolders of folder (also through symbolic links), in display order,
// without those beginning with ".". Throws like listFiles.
std::vector<std::string> listSubfolders(const std::string& folder);

// How a name is shown: valid UTF-8 as it is, but each byte that is not part
// of valid UTF-8, and each control character, written as "\xNN".
std::string displayName(std::string_view name);

// The order in which names are shown: letters without regard to case, then
// as the collation of a locale orders them; names equal so far in byte
// order, so the order is total.
class DisplayCollation {
public:
    // localeName as for newlocale: "" is the user's locale from LC_ALL,
    // LC_COLLATE or LANG. Throws kadrix::Error when it is not available.
    explicit DisplayCollation(const char* localeName);
    ~DisplayCollation();
    DisplayCollation(const DisplayCollation&) = delete;
    DisplayCollation& operator=(const DisplayCollation&) = delete;

    // Sorting by this key, then by the name's bytes, gives the display order.
    std::wstring key(std::string_view name) const;
    bool less(std::string_view a, std::string_view b) const;
    void sort(std::vector<std::string>& names) const;

private:
    void appendKey(std::string_view name, std::wstring& keys) const;

    struct Locales;
    std::unique_ptr<Locales> locales_;
};

// The collation of the user's locale, or plain code-point order when the
// locale set in the environment is not installed.
const DisplayCollation& userCollation();

} // namespace kadrix
