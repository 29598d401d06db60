// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's header check before a clicked BMP file is decoded: any
// bytes either end in an Error or in a plan that stays inside the file and
// the memory bound.
#include "core/error.h"
#include "core/picture/bmp_decode_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    // The claimed file size comes from the input too, so that sizes far
    // beyond the bytes at hand are tried.
    std::uint64_t fileSize = size;
    if (size > 8) {
        fileSize = 0;
        for (std::size_t i = 0; i < 8; ++i)
            fileSize |= std::uint64_t{data[size - 8 + i]} << (8 * i);
        fileSize %= std::uint64_t{1} << 40;
    }
    try {
        const kadrix::BmpDecodePlan plan =
            kadrix::checkBmpBeforeDecoding(bytes, fileSize, "fuzz.bmp");
        if (plan.bytesToRead > fileSize || plan.width < 1 || plan.height < 1 ||
            std::uint64_t(plan.width) * std::uint64_t(plan.height) * 4 >
                kadrix::maxPicturePixels * 4)
            std::abort();
    } catch (const kadrix::Error&) {
    }
    return 0;
}
