// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/checks/file_type.h"

#include "core/file.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>

namespace kadrix {

namespace {

// True when the bytes from `at` on equal `signature`; bytes the file does not
// have never match.
bool matches(std::span<const std::byte> bytes, std::size_t at,
             std::initializer_list<std::uint8_t> signature) {
    if (bytes.size() < at + signature.size())
        return false;
    return std::equal(signature.begin(), signature.end(),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](std::uint8_t want, std::byte have) { return std::byte{want} == have; });
}

} // namespace

FileType PhysicalResolveFileType(std::span<const std::byte> leadingBytes) {
    const auto bytes = leadingBytes.first(std::min(leadingBytes.size(), fileTypeProbeSize));
    FileType type = FileType::None;
    if (matches(bytes, 0, {'B', 'M'}))
        type = FileType::Bitmap;
    if (matches(bytes, 0, {0x49, 0x49, 0x2A, 0x00}) || matches(bytes, 0, {0x4D, 0x4D, 0x00, 0x2A}))
        type = FileType::Tiff;
    if (matches(bytes, 6, {'J', 'F', 'I', 'F'}))
        type = FileType::Jfif;
    if (matches(bytes, 0, {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}))
        type = FileType::Png;
    if (matches(bytes, 0, {0xB1, 0x68, 0xDE, 0x3A}))
        type = FileType::Dcx;
    if (matches(bytes, 0, {0x0A}))
        type = FileType::Pcx;
    if (matches(bytes, 0, {0xD7, 0xCD, 0xC6, 0x9A}))
        type = FileType::Metafile;
    if (matches(bytes, 0, {0x01, 0x00, 0x00, 0x00}))
        type = FileType::Metafile;
    return type;
}

FileType PhysicalResolveFileType(InputFile& file) {
    std::array<std::byte, fileTypeProbeSize> buffer{};
    const std::size_t n = file.readSome(0, buffer);
    return PhysicalResolveFileType(std::span(buffer).first(n));
}

std::string_view fileTypeName(FileType type) {
    switch (type) {
    case FileType::None:
        return "unknown";
    case FileType::Bitmap:
        return "Windows bitmap";
    case FileType::Tiff:
        return "TIFF";
    case FileType::Jfif:
        return "JPEG (JFIF)";
    case FileType::Png:
        return "PNG";
    case FileType::Dcx:
        return "DCX";
    case FileType::Pcx:
        return "PCX";
    case FileType::Metafile:
        return "Windows metafile";
    }
    return "unknown";
}

FileKind identifyFile(std::span<const std::byte> leadingBytes) {
    const FileType type = PhysicalResolveFileType(leadingBytes);
    if (type != FileType::None)
        return {static_cast<int>(type), fileTypeName(type)};
    const auto bytes = leadingBytes.first(std::min(leadingBytes.size(), fileKindProbeSize));
    // ICONDIR: reserved 0, type 1 (icon).
    if (matches(bytes, 0, {0x00, 0x00, 0x01, 0x00}))
        return {8, "Windows icon"};
    if (matches(bytes, 0, {'R', 'I', 'F', 'F'}) && matches(bytes, 8, {'A', 'V', 'I', ' '}))
        return {9, "AVI clip"};
    if (matches(bytes, 0, {'R', 'I', 'F', 'F'}) && matches(bytes, 8, {'W', 'A', 'V', 'E'}))
        return {10, "WAVE sound"};
    // Start of image and the next marker's first byte, whatever segment
    // (Exif, a bare quantisation table) follows.
    if (matches(bytes, 0, {0xFF, 0xD8, 0xFF}))
        return {11, "JPEG"};
    return {0, fileTypeName(FileType::None)};
}

bool hasWaveForm(std::span<const std::byte> leadingBytes) {
    return matches(leadingBytes.first(std::min(leadingBytes.size(), waveProbeSize)), 8,
                   {'W', 'A', 'V', 'E'});
}

bool hasWaveForm(InputFile& file) {
    std::array<std::byte, waveProbeSize> buffer{};
    const std::size_t n = file.readSome(0, buffer);
    return hasWaveForm(std::span(buffer).first(n));
}

} // namespace kadrix
