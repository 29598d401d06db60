// SPDX-License-Identifier: GPL-3.0-or-later
// The content check reads the first bytes of any file the user clicks.
#include "core/checks/file_type.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    static_cast<void>(kadrix::PhysicalResolveFileType(bytes));
    static_cast<void>(kadrix::hasWaveForm(bytes));
    static_cast<void>(kadrix::identifyFile(bytes));
    return 0;
}
