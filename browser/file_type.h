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

// How many leading bytes the wave check reads: a canonical WAVE header.
inline constexpr std::size_t waveProbeSize = 44;

// True when bytes 8-11 read "WAVE" (the RIFF form type); a file shorter than
// 12 bytes has no form type and fails.
bool hasWaveForm(std::span<const std::byte> leadingBytes);

// Reads up to the first 44 bytes of an open file and checks them.
bool hasWaveForm(InputFile& file);

} // namespace kadrix
