// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert/jpeg_encoder.h"

#include "core/error.h"
#include "core/file.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

namespace kadrix {

namespace {

constexpr int jpegQuality = 90;
// Rows handed to libjpeg per call: one MCU row at 4:2:0.
constexpr int rowsPerCall = 16;

// Everything libjpeg writes to lives in the caller's frame, so the error
// handler's longjmp back into compress() skips no destructor.
struct Compression {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
    char message[JMSG_LENGTH_MAX]{};
    unsigned char* output = nullptr; // malloc'ed by libjpeg's memory destination
    unsigned long outputSize = 0;
};

// libjpeg's own error_exit ends the process; this one returns to compress().
[[noreturn]] void onJpegError(j_common_ptr cinfo) {
    auto* compression = static_cast<Compression*>(cinfo->client_data);
    (*cinfo->err->format_message)(cinfo, compression->message);
    std::longjmp(compression->failed, 1);
}

// Returns false, with the library's message in c.message, when libjpeg
// failed. No object with a destructor may live in this frame.
bool compress(Compression& c, const ImageView& picture) {
    c.cinfo.err = jpeg_std_error(&c.errors);
    c.errors.error_exit = onJpegError;
    c.cinfo.client_data = &c;
    if (setjmp(c.failed) != 0) {
        jpeg_destroy_compress(&c.cinfo);
        return false;
    }
    jpeg_create_compress(&c.cinfo);
    jpeg_mem_dest(&c.cinfo, &c.output, &c.outputSize);
    c.cinfo.image_width = static_cast<JDIMENSION>(picture.width);
    c.cinfo.image_height = static_cast<JDIMENSION>(picture.height);
    // libjpeg-turbo reads the 32-bit pixels directly; the colour conversion
    // it then does is the same as from 24-bit RGB.
    c.cinfo.input_components = bgrxBytesPerPixel;
    c.cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&c.cinfo);
    jpeg_set_quality(&c.cinfo, jpegQuality, TRUE);
    jpeg_start_compress(&c.cinfo, TRUE);
    JSAMPROW rows[rowsPerCall];
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        const JDIMENSION first = c.cinfo.next_scanline;
        JDIMENSION count = 0;
        while (count < rowsPerCall && first + count < c.cinfo.image_height) {
            // libjpeg takes non-const rows but only reads them.
            rows[count] = const_cast<JSAMPROW>(picture.rowBytes(static_cast<int>(first + count)));
            ++count;
        }
        jpeg_write_scanlines(&c.cinfo, rows, count);
    }
    jpeg_finish_compress(&c.cinfo);
    jpeg_destroy_compress(&c.cinfo);
    return true;
}

} // namespace

std::vector<std::byte> encodeJpeg(const ImageView& picture) {
    if (picture.format != PixelFormat::Bgrx32)
        throw Error("Pictures are encoded from 32-bit pixels");
    if (picture.width <= 0 || picture.height <= 0)
        return {};
    Compression c;
    const bool done = compress(c, picture);
    const std::unique_ptr<unsigned char, decltype(&std::free)> output(c.output, &std::free);
    if (!done)
        throw Error(c.message);
    const auto* begin = reinterpret_cast<const std::byte*>(output.get());
    return std::vector<std::byte>(begin, begin + c.outputSize);
}

void writeJpeg(const ImageView& picture, const std::string& path) {
    const std::vector<std::byte> jpeg = encodeJpeg(picture);
    ReplacementFile file(path);
    file.out().write(jpeg);
    file.commit();
}

} // namespace kadrix
