// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace kadrix {

class InputFile;

// What a file's leading bytes say it is. The values are the codes the
// preview and the tool show; only Bitmap is acted upon.
enum class FileType : int {
    None = 0,
    Bitmap = 1,
    Tiff = 2,
    Jfif = 3,
    Png = 4,
    Dcx = 5,
    Pcx = 6,
    Metafile = 7, // placeable Windows metafile or enhanced metafile
};

// How many leading bytes the signature tests look at.
inline constexpr std::size_t fileTypeProbeSize = 10;

// Classifies a file by up to its first 10 bytes (fewer when the file is
// shorter; a missing byte matches no signature). The tests run in a fixed
// order and a later match wins, so a "BM" file whose bytes 6-9 read "JFIF"
// counts as JPEG.
FileType PhysicalResolveFileType(std::span<const std::byte> leadingBytes);

// Reads the first bytes of an open file and classifies them.
FileType PhysicalResolveFileType(InputFile& file);

// A short English name for a code, for the tool's listing.
std::string_view fileTypeName(FileType type);

// What kadrix-tool type tells apart: the content check's eight types with
// their codes, and beyond them the files the program itself writes, which
// the content check leaves unknown.
struct FileKind {
    int code;
    std::string_view name;
};

// How many leading bytes identifyFile looks at: a RIFF header's form type
// ends at byte 12.
inline constexpr std::size_t fileKindProbeSize = 12;

// The content check's type where it finds one; otherwise an icon (code 8),
// an AVI clip (9), a WAVE sound (10) or a JPEG without JFIF (11), or
// unknown (0).
FileKind identifyFile(std::span<const std::byte> leadingBytes);

// How many leading bytes the wave check reads: a canonical WAVE header.
inline constexpr std::size_t waveProbeSize = 44;

// True when bytes 8-11 read "WAVE" (the RIFF form type); a file shorter than
// 12 bytes has no form type and fails.
bool hasWaveForm(std::span<const std::byte> leadingBytes);

// Reads up to the first 44 bytes of an open file and checks them.
bool hasWaveForm(InputFile& file);

} // namespace kadrix
