// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdlib>
#include <memory>

namespace kadrix {

// xcb allocates every reply and error with malloc(); the receiver frees it.
struct MallocDeleter {
    void operator()(void* block) const { std::free(block); }
};

template <class T> using XcbReply = std::unique_ptr<T, MallocDeleter>;

} // namespace kadrix
