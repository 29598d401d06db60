// SPDX-License-Identifier: GPL-3.0-or-later
// Finds and loads the portal module; no Qt here, for the command-line tool.
#include "platform/linux/module_folder.h"
#include "platform/linux/portal_module.h"

#include <dlfcn.h>

namespace kadrix {

std::unique_ptr<ScreenGrabber> createPortalScreenGrabber(const PortalGrabberOptions& options,
                                                         std::string& failure) {
    // Loaded once and never unloaded: the grabber's threads run its code.
    static void* const module = [&]() -> void* {
        for (const std::string& candidate :
             {programFolder() + "/../lib/kadrix/" + portalModuleFileName,
              std::string(KADRIX_PORTAL_MODULE_BUILT)}) {
            if (void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL))
                return handle;
            if (failure.empty())
                failure = ::dlerror();
        }
        return nullptr;
    }();
    if (!module)
        return nullptr;
    const auto make = reinterpret_cast<MakePortalScreenGrabber>(::dlsym(module, portalModuleEntry));
    if (!make) {
        failure = portalModuleFileName + std::string(" has no grabber");
        return nullptr;
    }
    return std::unique_ptr<ScreenGrabber>(make(options, failure));
}

} // namespace kadrix
