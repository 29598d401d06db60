// The avi preview reads the stream headers of any clip the user clicks.
#include "browser/clip_format.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    static_cast<void>(kadrix::clipPixelFormat(bytes));
    return 0;
}
