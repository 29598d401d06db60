// SPDX-License-Identifier: GPL-3.0-or-later
// The module's grabber: a screen cast of every monitor, opened once for the
// program's life, or the portal's screenshots where there is no screen cast.
#include "platform/linux/portal/desktop_portal.h"
#include "platform/linux/portal/pipewire_frames.h"
#include "platform/linux/portal/portal_picture.h"
#include "platform/linux/portal_module.h"

#include <QCoreApplication>
#include <QSettings>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace kadrix {

namespace {

using Clock = std::chrono::steady_clock;

// A still shows the screen after the click: a picture sent later, or, as a
// screen that does not change sends nothing, the newest after this wait.
constexpr auto freshPictureWait = std::chrono::milliseconds(100);
// A stream's first picture follows its start within a few frames.
constexpr auto firstPictureWait = std::chrono::seconds(3);

const QString restoreTokenKey = "ScreenCast/RestoreToken";

constexpr const char* refusedText =
    "Снимок экрана не сделан: разрешение снимать экран не дано. Программа спросит "
    "о нём снова при следующем запуске.";
constexpr const char* failedText =
    "Снимок экрана не сделан: портал рабочего стола (xdg-desktop-portal) не дал "
    "изображение экрана. ";

// QtDBus needs an application object; the command-line tool has none.
void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "kadrix-tool";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

// Runs work on a thread of its own and waits: a portal request waits in an
// event loop, which must not be the window's.
template <typename Work> void offThread(Work&& work) {
    std::exception_ptr failure;
    std::thread([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }).join();
    if (failure)
        std::rethrow_exception(failure);
}

class PortalScreenGrabber final : public ScreenGrabber {
public:
    PortalScreenGrabber(PortalGrabberOptions options, bool screenCast, bool screenshots)
        : options_(std::move(options)), screenCast_(screenCast), screenshots_(screenshots) {}

    ~PortalScreenGrabber() override {
        {
            // A consent still asked for is not waited for at the end.
            const std::lock_guard held(mutex_);
            if (starting_)
                starting_->cancel();
        }
        if (starter_.joinable())
            starter_.join();
        frames_.reset();
        if (portal_)
            offThread([&] { portal_.reset(); });
    }

    PortalScreenGrabber(const PortalScreenGrabber&) = delete;
    PortalScreenGrabber& operator=(const PortalScreenGrabber&) = delete;

    void prepare() override {
        const std::lock_guard held(mutex_);
        if (state_ != State::Idle || !screenCast_)
            return;
        state_ = State::Starting;
        starter_ = std::thread([this] { start(); });
    }

    ImageView grab(const ScreenRect& rect) override {
        const Clock::time_point click = Clock::now();
        prepare();
        std::unique_lock held(mutex_);
        settled_.wait(held, [&] { return state_ != State::Starting; });
        if (state_ == State::Ready) {
            held.unlock();
            if (std::optional<ImageView> picture = fromStream(rect, click))
                return *picture;
            // The desktop stopped sharing (the user, or a monitor gone): a
            // new session, which a kept permission opens without asking.
            restart();
            held.lock();
            settled_.wait(held, [&] { return state_ != State::Starting; });
            if (state_ == State::Ready) {
                held.unlock();
                if (std::optional<ImageView> picture = fromStream(rect, Clock::now()))
                    return *picture;
                throw Error(std::string(failedText) + "The screen cast ended.");
            }
        }
        if (screenshots_) {
            held.unlock();
            return fromScreenshot(rect);
        }
        if (state_ == State::Refused)
            throw Error(refusedText);
        throw Error(failedText + failure_);
    }

private:
    enum class State { Idle, Starting, Ready, Refused, Failed };

    // On the starter thread: the user's consent, asked once (once ever where
    // the desktop keeps it), then the streams.
    void start() {
        State outcome = State::Ready;
        std::string failure;
        std::unique_ptr<DesktopPortal> portal;
        try {
            portal = std::make_unique<DesktopPortal>();
            {
                const std::lock_guard held(mutex_);
                starting_ = portal.get();
            }
            QSettings settings(QString::fromStdString(options_.settingsFile), QSettings::IniFormat);
            ScreenCastSession session =
                portal->startScreenCast(settings.value(restoreTokenKey).toString());
            // The portal may give a new token for the next session.
            if (!session.restoreToken.isEmpty()) {
                settings.setValue(restoreTokenKey, session.restoreToken);
                settings.sync();
            }
            std::vector<std::uint32_t> nodes;
            for (const MonitorStream& monitor : session.monitors)
                nodes.push_back(monitor.node);
            monitors_ = std::move(session.monitors);
            frames_ = std::make_unique<PipeWireFrames>(session.remote, nodes);
        } catch (const PortalRefused&) {
            outcome = State::Refused;
        } catch (const Error& error) {
            outcome = State::Failed;
            failure = error.what();
        }
        const std::lock_guard held(mutex_);
        starting_ = nullptr;
        portal_ = std::move(portal);
        state_ = outcome;
        failure_ = std::move(failure);
        settled_.notify_all();
    }

    // Ends the session and begins a new one.
    void restart() {
        starter_.join();
        frames_.reset();
        offThread([&] { portal_.reset(); });
        {
            const std::lock_guard held(mutex_);
            state_ = State::Idle;
        }
        prepare();
    }

    // The picture, or none where the session has ended.
    std::optional<ImageView> fromStream(const ScreenRect& rect, Clock::time_point click) {
        PipeWireFrames::Hold held = frames_->hold();
        // The monitors the rectangle meets (all, while one's size is unknown).
        std::vector<std::size_t> met;
        for (std::size_t i = 0; i < monitors_.size(); ++i) {
            const ScreenRect place = placeOf(i);
            if (place.width == 0 ||
                (rect.x < place.x + place.width && place.x < rect.x + rect.width &&
                 rect.y < place.y + place.height && place.y < rect.y + rect.height))
                met.push_back(i);
        }
        for (;;) {
            if (frames_->ended())
                return std::nullopt;
            bool fresh = true;
            bool any = true;
            for (const std::size_t i : met) {
                const StreamFrame frame = frames_->frame(i);
                fresh = fresh && frame.number > 0 && frame.arrived > click;
                any = any && frame.number > 0;
            }
            const Clock::time_point now = Clock::now();
            if (fresh || (any && now >= click + freshPictureWait))
                break;
            if (!any && now >= click + firstPictureWait)
                throw Error(std::string(failedText) + "The screen cast sends no picture.");
            frames_->waitForPicture(held,
                                    any ? click + freshPictureWait : click + firstPictureWait);
        }
        std::vector<PlacedPicture> placed;
        for (std::size_t i = 0; i < monitors_.size(); ++i) {
            const StreamFrame frame = frames_->frame(i);
            if (frame.number > 0)
                placed.push_back({placeOf(i), frame.width, frame.height, frame.stride,
                                  frame.redFirst, frame.pixels});
        }
        return composePicture(rect, placed, picture_);
    }

    // A monitor's place in the layout; a size the portal did not give is
    // its stream's (while held).
    ScreenRect placeOf(std::size_t index) const {
        const MonitorStream& m = monitors_[index];
        const StreamFrame frame = frames_->frame(index);
        return {m.x, m.y, m.width > 0 ? m.width : frame.width,
                m.height > 0 ? m.height : frame.height};
    }

    ImageView fromScreenshot(const ScreenRect& rect) {
        QImage shot;
        offThread([&] {
            DesktopPortal portal;
            shot = portal.screenshot();
        });
        shot = shot.convertToFormat(QImage::Format_RGB32);
        // The screenshot covers the whole desktop in its device pixels.
        const int width = options_.desktopWidth > 0 ? options_.desktopWidth : shot.width();
        const int height = options_.desktopHeight > 0 ? options_.desktopHeight : shot.height();
        const PlacedPicture desktop{{0, 0, width, height},
                                    shot.width(),
                                    shot.height(),
                                    static_cast<std::size_t>(shot.bytesPerLine()),
                                    false,
                                    reinterpret_cast<const std::byte*>(shot.constBits())};
        return composePicture(rect, {desktop}, picture_);
    }

    const PortalGrabberOptions options_;
    const bool screenCast_;
    const bool screenshots_;

    std::mutex mutex_;
    std::condition_variable settled_;
    State state_ = State::Idle;
    std::string failure_;
    std::thread starter_;
    DesktopPortal* starting_ = nullptr; // the portal asking, while it asks

    // Set by the starter before Ready, then only read.
    std::unique_ptr<DesktopPortal> portal_;
    std::vector<MonitorStream> monitors_;
    std::unique_ptr<PipeWireFrames> frames_;

    std::vector<std::byte> picture_;
};

} // namespace

} // namespace kadrix

extern "C" __attribute__((visibility("default"))) kadrix::ScreenGrabber*
kadrixPortalScreenGrabber(const kadrix::PortalGrabberOptions& options, std::string& failure) {
    using namespace kadrix;
    ensureApplication();
    bool screenCast = false;
    bool screenshots = false;
    try {
        offThread([&] {
            DesktopPortal portal;
            screenCast = portal.screenCastVersion() > 0;
            screenshots = portal.screenshotVersion() > 0;
        });
    } catch (const Error& error) {
        failure = error.what();
        return nullptr;
    }
    if (!screenCast && !screenshots) {
        failure = "the desktop portal offers neither a screen cast nor screenshots";
        return nullptr;
    }
    return new PortalScreenGrabber(options, screenCast, screenshots);
}
