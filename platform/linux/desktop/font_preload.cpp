// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/font_preload.h"

#include <fontconfig/fontconfig.h>
#include <malloc.h>

namespace kadrix {

FontConfigurationPreload::FontConfigurationPreload()
    : loader_([] {
          FcInit();
          // The loading's scratch memory, freed in this thread's own heap, goes
          // back to the system rather than staying with the process.
          malloc_trim(0);
      }) {}

FontConfigurationPreload::~FontConfigurationPreload() = default;

} // namespace kadrix
