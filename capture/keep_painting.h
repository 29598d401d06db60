// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace kadrix {

// Runs work on a thread of its own while this thread's event loop keeps the
// windows painted and takes queued calls (progress shown from the work); user
// input waits until the work is over. Rethrows what the work threw.
void runKeepingWindowsPainted(const std::function<void()>& work);

} // namespace kadrix
