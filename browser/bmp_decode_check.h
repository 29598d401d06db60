#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kadrix {

// The most pixel memory the preview gives one picture: 1 GiB at 4 bytes a
// pixel. Screenshots of 8K screens (7680 x 4800: 141 MiB) fit with room to
// spare; a header that asks for more is refused before any pixel memory is
// taken.
inline constexpr std::uint64_t maxDecodedPictureBytes = std::uint64_t{1} << 30;

// How many leading bytes of a BMP file the check reads: the file header and
// the fields of the 40-byte info header.
inline constexpr std::size_t bmpCheckHeadSize = 54;

// What the decoder may read of a BMP file that passed the check.
struct BmpDecodePlan {
    int width = 0;
    int height = 0;                // rows, whatever their order
    std::uint64_t bytesToRead = 0; // from the start of the file
};

// Checks a BMP file's headers before its pixels are decoded, so that no
// header can make the decoder take unbounded memory or read past the file:
// an info header of a known size, 1 to 32 bits a pixel with a compression
// that fits them, a width and height of at least one pixel within
// maxDecodedPictureBytes, a pixel offset inside the file and, for
// uncompressed pixels, every row inside the file. head is up to the first
// bmpCheckHeadSize bytes; fileSize is the whole file's. Throws kadrix::Error
// naming path and saying what is wrong.
BmpDecodePlan checkBmpBeforeDecoding(std::span<const std::byte> head, std::uint64_t fileSize,
                                     const std::string& path);

} // namespace kadrix
