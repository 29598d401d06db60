// SPDX-License-Identifier: GPL-3.0-or-later
// jpeg_encode_bench FILE.bmp [SECONDS]: the library's JPEG encoder call
// alone on a picture already in memory, as libjpeg-turbo's tjbench measures
// its compressor. Prints the mean milliseconds per call.
#include "core/convert/jpeg_encoder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <turbojpeg.h>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: jpeg_encode_bench FILE.bmp [SECONDS]\n", stderr);
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 5.0;
    int width = 0, height = 0, format = TJPF_BGRX;
    const std::unique_ptr<unsigned char, decltype(&tjFree)> pixels(
        tjLoadImage(argv[1], &width, 1, &height, &format, 0), &tjFree);
    if (!pixels) {
        std::fprintf(stderr, "%s\n", tjGetErrorStr2(nullptr));
        return 1;
    }
    const std::size_t stride = static_cast<std::size_t>(width) * kadrix::bgrxBytesPerPixel;
    const kadrix::ImageView picture{
        width,
        height,
        kadrix::PixelFormat::Bgrx32,
        stride,
        std::as_bytes(std::span(pixels.get(), stride * static_cast<std::size_t>(height))),
        {}};
    using Clock = std::chrono::steady_clock;
    // One second of warm-up, as tjbench does, then the timed calls.
    for (const auto end = Clock::now() + std::chrono::seconds(1); Clock::now() < end;)
        kadrix::encodeJpeg(picture);
    long calls = 0;
    std::size_t bytes = 0;
    const auto start = Clock::now();
    std::chrono::duration<double> elapsed{};
    do {
        bytes = kadrix::encodeJpeg(picture).size();
        ++calls;
        elapsed = Clock::now() - start;
    } while (elapsed.count() < seconds);
    std::printf("%.3f ms per call (%ld calls, %zu bytes)\n",
                elapsed.count() * 1000 / static_cast<double>(calls), calls, bytes);
    return 0;
}
