// SPDX-License-Identifier: GPL-3.0-or-later
// The functions that read file names from the file system, on any bytes:
// the shown name, its UTF-8 decoding, the list's order and the mode masks.
// The input is a list of names split at NUL.
#include "core/error.h"
#include "core/naming/folder_listing.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// An independent check of what displayName promises: valid UTF-8 (no
// overlong forms, surrogates or values past U+10FFFF) without C0 controls
// or DEL.
bool shownSafely(std::string_view s) {
    std::size_t at = 0;
    const auto byte = [&s](std::size_t i) {
        return static_cast<unsigned char>(s[i]);
    };
    while (at < s.size()) {
        const unsigned char lead = byte(at);
        std::size_t length = 1;
        std::uint32_t value = lead;
        if (lead >= 0xF8)
            return false;
        if (lead >= 0xF0)
            length = 4, value = lead & 0x07u;
        else if (lead >= 0xE0)
            length = 3, value = lead & 0x0Fu;
        else if (lead >= 0xC0)
            length = 2, value = lead & 0x1Fu;
        else if (lead >= 0x80)
            return false;
        if (at + length > s.size())
            return false;
        for (std::size_t i = 1; i < length; ++i) {
            if ((byte(at + i) & 0xC0) != 0x80)
                return false;
            value = value << 6 | (byte(at + i) & 0x3Fu);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < least[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF) ||
            value < 0x20 || value == 0x7F)
            return false;
        at += length;
    }
    return true;
}

const kadrix::DisplayCollation& collation() {
    // The program's users sort in Russian; where that is missing, in the
    // neutral order.
    static const kadrix::DisplayCollation russian = [] {
        try {
            return kadrix::DisplayCollation("ru_RU.UTF-8");
        } catch (const kadrix::Error&) {
            return kadrix::DisplayCollation("C.UTF-8");
        }
    }();
    return russian;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> names;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find('\0', start), text.size());
        names.emplace_back(text.substr(start, end - start));
        if (end == text.size())
            break;
        start = end + 1;
    }

    for (const std::string& name : names) {
        const std::string shown = kadrix::displayName(name);
        // Safe to show, and a name that is safe already shows as it is.
        if (!shownSafely(shown) || (shownSafely(name) && shown != name))
            std::abort();
        // Every name matches "*", itself without a star, and "*" followed by
        // any of its ends.
        if (!kadrix::matchesMask(name, "*"))
            std::abort();
        if (name.find('*') == std::string::npos) {
            if (!kadrix::matchesMask(name, name))
                std::abort();
            if (!kadrix::matchesMask(name, "*" + name.substr(name.size() / 2)))
                std::abort();
        }
    }
    // The first name as a mask for the others: never a crash, and "*.*"
    // takes all.
    for (const std::string& name : names)
        if (!kadrix::matchesMask(name, "*.*"))
            std::abort();
    if (names.size() > 1)
        static_cast<void>(kadrix::matchesMask(names[1], names[0]));

    // The sorted list is in the order that less() gives, a strict one.
    std::vector<std::string> sorted = names;
    collation().sort(sorted);
    for (std::size_t i = 0; i + 1 < sorted.size(); ++i)
        if (collation().less(sorted[i + 1], sorted[i]))
            std::abort();
    for (const std::string& name : names)
        if (collation().less(name, name))
            std::abort();
    return 0;
}
