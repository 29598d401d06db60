// SPDX-License-Identifier: GPL-3.0-or-later
// Finds and loads the encoder module; no Qt here, for the command-line tool.
#include "platform/clip_encoder.h"
#include "platform/linux/export/ffmpeg_clip_encoder.h"
#include "platform/linux/module_folder.h"

#include <dlfcn.h>
#include <string>

namespace kadrix {

namespace {

struct LoadedModule {
    void* handle = nullptr;
    std::string failure; // why none could be loaded
};

// Loaded once and never unloaded, as the encoders it makes may live until
// the end. Looked for installed beside the program (<prefix>/lib/kadrix, the
// program in <prefix>/bin; in the build tree the same), then where the build
// put it, for the tests' programs.
const LoadedModule& exportModule() {
    static const LoadedModule module = [] {
        LoadedModule loaded;
        for (const std::string& candidate :
             {programFolder() + "/../lib/kadrix/" + exportModuleFileName,
              std::string(KADRIX_EXPORT_MODULE_BUILT)}) {
            loaded.handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (loaded.handle)
                return loaded;
            if (loaded.failure.empty())
                loaded.failure = ::dlerror();
        }
        return loaded;
    }();
    return module;
}

class UnavailableEncoder final : public ClipEncoder {
public:
    explicit UnavailableEncoder(std::string failure) : failure_(std::move(failure)) {}
    bool encode(FrameSource&, ShareFormat, EncodedFile&, const EncodeProgress&) override {
        throw EncoderUnavailable("The encoder module cannot be loaded: " + failure_);
    }

private:
    std::string failure_;
};

} // namespace

std::unique_ptr<ClipEncoder> createClipEncoder() {
    const LoadedModule& module = exportModule();
    if (!module.handle)
        return std::make_unique<UnavailableEncoder>(module.failure);
    using Make = ClipEncoder* (*)();
    const auto make = reinterpret_cast<Make>(::dlsym(module.handle, "kadrixExportClipEncoder"));
    if (!make)
        return std::make_unique<UnavailableEncoder>(exportModuleFileName +
                                                    std::string(" has no encoder"));
    return std::unique_ptr<ClipEncoder>(make());
}

} // namespace kadrix
