// SPDX-License-Identifier: GPL-3.0-or-later
// The preview's whole path on any file named .bmp: the header check, then the
// decoding at the size the preview box shows and at the picture's own size.
// Either the check refuses, or every pixel of the target is written.
#include "core/error.h"
#include "core/picture/bmp_decoder.h"
#include "fuzz/bmp_samples.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace {

void decodeAt(const kadrix::BmpDecodePlan& plan, const kadrix::ReadAt& read,
              kadrix::PictureSize target) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(target.width) *
                                   static_cast<std::size_t>(target.height));
    try {
        kadrix::decodeBmp(plan, read, target, out, "fuzz.bmp");
    } catch (const kadrix::Error&) {
        return;
    }
    if (std::any_of(out.begin(), out.end(), [](std::uint32_t p) { return p >> 24 != 0xFF; }))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> file = kadrix::fuzz::bmpBytes(data, size);
    const auto bytes = std::as_bytes(std::span(file));
    const kadrix::ReadAt read = [bytes](std::uint64_t offset, std::span<std::byte> into) {
        if (offset >= bytes.size())
            return std::size_t{0};
        const std::size_t n =
            std::min(into.size(), bytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(into.data(), bytes.data() + offset, n);
        return n;
    };
    kadrix::BmpDecodePlan plan;
    try {
        plan = kadrix::checkBmpBeforeDecoding(bytes, bytes.size(), "fuzz.bmp");
    } catch (const kadrix::Error&) {
        return 0;
    }
    if (plan.bytesToRead > bytes.size())
        std::abort();
    // The preview box, and a box whose sides come from the input, so that
    // odd reductions are tried.
    const kadrix::PictureSize own{plan.width, plan.height};
    decodeAt(plan, read, kadrix::fittedSize(own, {195, 193}));
    if (size > 2)
        decodeAt(plan, read,
                 kadrix::fittedSize(own, {1 + data[size - 1] % 64, 1 + data[size - 2] % 64}));
    decodeAt(plan, read, own);
    return 0;
}
