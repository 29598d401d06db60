// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/naming/folder_listing.h"

#include "core/error.h"
#include "core/folder_entries.h"

#include <algorithm>
#include <locale.h>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>
#include <wchar.h>
#include <wctype.h>

namespace kadrix {

namespace {

constexpr char32_t noCharacter = 0xFFFFFFFF;

bool inRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

// Decodes the UTF-8 character at text[at] and advances at past it; a byte
// that does not start a valid character (overlong forms, surrogates and
// values above U+10FFFF included) gives noCharacter and advances by one.
char32_t decodeUtf8(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (inRange(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (inRange(lead, 0xE0, 0xEF)) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (inRange(lead, 0xF0, 0xF4)) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || at + length > text.size() || !inRange(byte(at + 1), low, high)) {
        ++at;
        return noCharacter;
    }
    char32_t value = lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        if (i > 1 && !inRange(byte(at + i), 0x80, 0xBF)) {
            ++at;
            return noCharacter;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    at += length;
    return value;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

struct LocaleFree {
    void operator()(locale_t locale) const { ::freelocale(locale); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree>;

} // namespace

bool matchesMask(std::string_view name, std::string_view mask) {
    if (mask == "*.*")
        return true;
    // Greedy matching that backtracks only to the last "*": linear in practice.
    std::size_t n = 0;
    std::size_t m = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starAt = m++;
            resumeAt = n;
        } else if (m < mask.size() && asciiLower(mask[m]) == asciiLower(name[n])) {
            ++m;
            ++n;
        } else if (starAt != std::string_view::npos) {
            m = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::vector<std::string> listFiles(const std::string& folder, std::string_view mask) {
    std::vector<std::string> names = folderEntries(
        folder, EntryKind::File, [mask](std::string_view name) { return matchesMask(name, mask); });
    userCollation().sort(names);
    return names;
}

std::vector<std::string> listSubfolders(const std::string& folder) {
    std::vector<std::string> names =
        folderEntries(folder, EntryKind::Folder, [](std::string_view) { return true; });
    userCollation().sort(names);
    return names;
}

std::string displayName(std::string_view name) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(name.size());
    std::size_t at = 0;
    while (at < name.size()) {
        const std::size_t start = at;
        const char32_t c = decodeUtf8(name, at);
        if (c == noCharacter || c < 0x20 || c == 0x7F) {
            const auto byte = static_cast<unsigned char>(name[start]);
            shown += "\\x";
            shown += hex[byte >> 4];
            shown += hex[byte & 0xF];
        } else {
            shown.append(name.substr(start, at - start));
        }
    }
    return shown;
}

struct DisplayCollation::Locales {
    LocaleHandle ctype;   // C.UTF-8, for case folding whatever the user's locale
    LocaleHandle collate; // the locale whose collation orders the names
};

DisplayCollation::DisplayCollation(const char* localeName) : locales_(std::make_unique<Locales>()) {
    locales_->ctype.reset(::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr));
    locales_->collate.reset(::newlocale(LC_COLLATE_MASK, localeName, nullptr));
    if (!locales_->ctype || !locales_->collate)
        throw Error(std::string("The locale \"") + localeName + "\" is not available");
}

DisplayCollation::~DisplayCollation() = default;

void DisplayCollation::appendKey(std::string_view name, std::wstring& keys) const {
    // Undecodable bytes take the places U+DC80 to U+DCFF, which no valid
    // character takes, so names that differ only there still differ.
    thread_local std::wstring folded;
    folded.clear();
    std::size_t at = 0;
    while (at < name.size()) {
        const std::size_t start = at;
        const char32_t c = decodeUtf8(name, at);
        if (c == noCharacter)
            folded += static_cast<wchar_t>(0xDC00 + static_cast<unsigned char>(name[start]));
        else if (c < 0x80)
            folded += static_cast<wchar_t>(asciiLower(static_cast<char>(c)));
        else
            folded +=
                static_cast<wchar_t>(::towlower_l(static_cast<wint_t>(c), locales_->ctype.get()));
    }
    // A transformed name is some times longer than the name: room for that
    // spares the second pass that asking for the length first would take.
    const std::size_t start = keys.size();
    keys.resize(start + folded.size() * 8 + 16);
    std::size_t length = ::wcsxfrm_l(keys.data() + start, folded.c_str(), keys.size() - start,
                                     locales_->collate.get());
    if (length >= keys.size() - start) {
        keys.resize(start + length + 1);
        length =
            ::wcsxfrm_l(keys.data() + start, folded.c_str(), length + 1, locales_->collate.get());
    }
    keys.resize(start + length);
}

std::wstring DisplayCollation::key(std::string_view name) const {
    std::wstring nameKey;
    appendKey(name, nameKey);
    return nameKey;
}

bool DisplayCollation::less(std::string_view a, std::string_view b) const {
    const int order = key(a).compare(key(b));
    return order != 0 ? order < 0 : a < b;
}

void DisplayCollation::sort(std::vector<std::string>& names) const {
    // Each key is made once, all in one buffer: making a key costs far more
    // than comparing two, and thousands of small allocations add up.
    std::wstring keys;
    std::vector<std::size_t> keyStart;
    keyStart.reserve(names.size() + 1);
    for (const std::string& name : names) {
        keyStart.push_back(keys.size());
        appendKey(name, keys);
    }
    keyStart.push_back(keys.size());
    const auto keyOf = [&](std::size_t i) {
        return std::wstring_view(keys).substr(keyStart[i], keyStart[i + 1] - keyStart[i]);
    };

    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int byKey = keyOf(a).compare(keyOf(b));
        return byKey != 0 ? byKey < 0 : names[a] < names[b];
    });
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(names[i]));
    names = std::move(sorted);
}

const DisplayCollation& userCollation() {
    static const DisplayCollation collation = [] {
        try {
            return DisplayCollation("");
        } catch (const Error&) {
            return DisplayCollation("C.UTF-8");
        }
    }();
    return collation;
}

} // namespace kadrix
