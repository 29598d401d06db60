// SPDX-License-Identifier: GPL-3.0-or-later
// Finds and loads the portal module; no Qt here, for the command-line tool.
#include "platform/linux/module_folder.h"
#include "platform/linux/portal_module.h"

#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>

namespace kadrix {

namespace {

// The desktop's session bus, where the portal is: named in the environment,
// or the user's bus in the runtime folder. Without either, D-Bus would start
// a bus of its own (dbus-launch), which has no portal.
bool sessionBusThere() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat bus {};
    return runtime && *runtime && ::stat((std::string(runtime) + "/bus").c_str(), &bus) == 0 &&
           S_ISSOCK(bus.st_mode);
}

} // namespace

std::unique_ptr<ScreenGrabber> createPortalScreenGrabber(const PortalGrabberOptions& options,
                                                         std::string& failure) {
    if (!sessionBusThere()) {
        failure = "No session bus for the desktop portal";
        return nullptr;
    }
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
