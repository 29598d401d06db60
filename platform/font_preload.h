// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <thread>

namespace kadrix {

// Loads the system's font configuration on a thread of its own while the
// program connects to its display and builds its window. The first caption
// would otherwise wait for it, a few milliseconds at every start; the
// configuration is one for the whole process, so the toolkit takes the one
// loaded here, or loads its own if it comes first.
class FontConfigurationPreload {
public:
    FontConfigurationPreload();
    // Waits for the loading to end.
    ~FontConfigurationPreload();

private:
    std::jthread loader_;
};

} // namespace kadrix
