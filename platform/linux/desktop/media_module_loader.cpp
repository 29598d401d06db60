// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/desktop/media_module_loader.h"

#include "platform/linux/media/media_module.h"
#include "platform/media_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QLoggingCategory>

namespace kadrix {

namespace {

Q_LOGGING_CATEGORY(mediaLog, "kadrix.media")

// Loaded once and never unloaded: the services it made live until the end.
QLibrary* mediaModule() {
    static QLibrary* const module = [] {
        for (const QString& candidate :
             mediaModuleCandidates(QCoreApplication::applicationDirPath())) {
            auto* library = new QLibrary(candidate);
            if (library->load())
                return library;
            qCDebug(mediaLog) << "media module not loaded:" << library->errorString();
            delete library;
        }
        qCWarning(mediaLog) << "no media module: nothing plays or records";
        return static_cast<QLibrary*>(nullptr);
    }();
    return module;
}

template <typename Service, typename Null>
std::unique_ptr<Service> fromModule(const char* entryPoint) {
    using Make = Service* (*)();
    if (QLibrary* module = mediaModule()) {
        if (const auto make = reinterpret_cast<Make>(module->resolve(entryPoint)))
            return std::unique_ptr<Service>(make());
    }
    return std::make_unique<Null>();
}

// The recorder and the sound player load the module when first used, so
// that a window that never records or plays never loads it.
class FirstUseSoundRecorder final : public SoundRecorder {
public:
    bool open() override {
        if (!chosen_)
            chosen_ = fromModule<SoundRecorder, NullSoundRecorder>("kadrixMediaSoundRecorder");
        return chosen_->open();
    }
    bool record(std::chrono::milliseconds length) override { return chosen().record(length); }
    RecordedSound stop(SoundStop when) override { return chosen().stop(when); }
    std::string save(const std::string& path) override { return chosen().save(path); }
    bool close() override { return chosen().close(); }
    bool isOpen() const override { return chosen_ && chosen_->isOpen(); }

private:
    SoundRecorder& chosen() { return chosen_ ? *chosen_ : none_; }

    std::unique_ptr<SoundRecorder> chosen_;
    NullSoundRecorder none_;
};

class FirstUseSoundPlayer final : public SoundPlayer {
public:
    bool playToEnd(const std::string& path) override {
        if (!chosen_)
            chosen_ = fromModule<SoundPlayer, NullSoundPlayer>("kadrixMediaSoundPlayer");
        return chosen_->playToEnd(path);
    }

private:
    std::unique_ptr<SoundPlayer> chosen_;
};

} // namespace

QStringList mediaModuleCandidates(const QString& applicationDir) {
    return {QDir::cleanPath(applicationDir + "/../lib/kadrix/" + mediaModuleFileName),
            QStringLiteral(KADRIX_MEDIA_MODULE_BUILT)};
}

QString loadedMediaModule() {
    const QLibrary* module = mediaModule();
    return module ? module->fileName() : QString();
}

std::unique_ptr<SoundRecorder> createSoundRecorder() {
    return std::make_unique<FirstUseSoundRecorder>();
}

std::unique_ptr<ClipPlayer> createClipPlayer() {
    return fromModule<ClipPlayer, NullClipPlayer>("kadrixMediaClipPlayer");
}

std::unique_ptr<SoundPlayer> createSoundPlayer() {
    return std::make_unique<FirstUseSoundPlayer>();
}

} // namespace kadrix
