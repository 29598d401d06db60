// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/portal/desktop_portal.h"

#include "platform/linux/portal/portal_request.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QFile>
#include <QUrl>
#include <QVariantMap>
#include <atomic>
#include <fcntl.h>

namespace kadrix {

namespace {

const QString portalService = "org.freedesktop.portal.Desktop";
const QString portalPath = "/org/freedesktop/portal/desktop";
const QString screenCastInterface = "org.freedesktop.portal.ScreenCast";
const QString screenshotInterface = "org.freedesktop.portal.Screenshot";

// Screen-cast source types and cursor modes, as the portal numbers them.
constexpr std::uint32_t monitorSources = 1;
constexpr std::uint32_t cursorHidden = 1;
// Permitted until the user takes the permission back.
constexpr std::uint32_t persistUntilRevoked = 2;
// Restore tokens came with this version of the ScreenCast interface.
constexpr std::uint32_t restoreTokenVersion = 4;

QString connectionName() {
    static std::atomic<int> count = 0;
    return QString("kadrix-portal-%1").arg(++count);
}

std::uint32_t property(QDBusConnection& bus, const QString& interface, const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(portalService, portalPath,
                                                      "org.freedesktop.DBus.Properties", "Get");
    get.setArguments({interface, name});
    const QDBusMessage reply = bus.call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().first().value<QDBusVariant>().variant().toUInt();
}

// A pair of integers, (ii), in a stream's properties.
bool readPair(const QVariant& value, int& first, int& second) {
    if (!value.canConvert<QDBusArgument>())
        return false;
    const auto argument = value.value<QDBusArgument>();
    argument.beginStructure();
    argument >> first >> second;
    argument.endStructure();
    return true;
}

std::vector<MonitorStream> readStreams(const QVariant& value) {
    std::vector<MonitorStream> monitors;
    if (!value.canConvert<QDBusArgument>())
        return monitors;
    const auto argument = value.value<QDBusArgument>();
    argument.beginArray();
    while (!argument.atEnd()) {
        MonitorStream monitor;
        QVariantMap properties;
        argument.beginStructure();
        argument >> monitor.node >> properties;
        argument.endStructure();
        readPair(properties.value("position"), monitor.x, monitor.y);
        readPair(properties.value("size"), monitor.width, monitor.height);
        monitors.push_back(monitor);
    }
    argument.endArray();
    return monitors;
}

} // namespace

DesktopPortal::DesktopPortal()
    : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName())) {
    if (!bus_.isConnected())
        throw Error("Cannot reach the desktop's session bus: " +
                    bus_.lastError().message().toStdString());
}

DesktopPortal::~DesktopPortal() {
    if (!session_.isEmpty())
        bus_.call(QDBusMessage::createMethodCall(portalService, session_,
                                                 "org.freedesktop.portal.Session", "Close"),
                  QDBus::Block, 2000);
    QDBusConnection::disconnectFromBus(bus_.name());
}

std::uint32_t DesktopPortal::screenCastVersion() {
    return property(bus_, screenCastInterface, "version");
}

std::uint32_t DesktopPortal::screenshotVersion() {
    return property(bus_, screenshotInterface, "version");
}

ScreenCastSession DesktopPortal::startScreenCast(const QString& restoreToken) {
    const std::uint32_t version = screenCastVersion();
    if (version == 0)
        throw Error("The desktop portal offers no screen cast");
    PortalRequest request(bus_, portalService, portalPath, screenCastInterface);
    {
        const std::lock_guard held(mutex_);
        if (cancelled_)
            throw Error("The program ended before the screen cast began");
        starting_ = &request;
    }
    struct Finished {
        DesktopPortal& portal;
        ~Finished() {
            const std::lock_guard held(portal.mutex_);
            portal.starting_ = nullptr;
        }
    } finished{*this};

    const QString sessionToken = PortalRequest::newToken();
    QVariantMap created =
        request.ask("CreateSession", {}, {{"session_handle_token", sessionToken}}, "CreateSession");
    session_ = created.value("session_handle").toString();
    if (session_.isEmpty())
        throw Error("The desktop portal opened no screen-cast session");
    const QDBusObjectPath session(session_);

    QVariantMap sources{{"types", QVariant::fromValue(monitorSources)}, {"multiple", true}};
    if (property(bus_, screenCastInterface, "AvailableCursorModes") & cursorHidden)
        sources.insert("cursor_mode", QVariant::fromValue(cursorHidden));
    if (version >= restoreTokenVersion) {
        sources.insert("persist_mode", QVariant::fromValue(persistUntilRevoked));
        if (!restoreToken.isEmpty())
            sources.insert("restore_token", restoreToken);
    }
    request.ask("SelectSources", {QVariant::fromValue(session)}, sources, "SelectSources");

    const QVariantMap started =
        request.ask("Start", {QVariant::fromValue(session), QString()}, {}, "Start");
    ScreenCastSession result;
    result.monitors = readStreams(started.value("streams"));
    result.restoreToken = started.value("restore_token").toString();
    if (result.monitors.empty())
        throw Error("The desktop portal shares no monitor");

    QDBusMessage open = QDBusMessage::createMethodCall(portalService, portalPath,
                                                       screenCastInterface, "OpenPipeWireRemote");
    open.setArguments({QVariant::fromValue(session), QVariantMap()});
    const QDBusMessage reply = bus_.call(open, QDBus::Block, 10000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        throw Error("The desktop portal opened no PipeWire connection: " +
                    reply.errorMessage().toStdString());
    const auto remote = reply.arguments().first().value<QDBusUnixFileDescriptor>();
    // The message's descriptor closes with it: this one is the stream's.
    result.remote = remote.isValid() ? ::fcntl(remote.fileDescriptor(), F_DUPFD_CLOEXEC, 0) : -1;
    if (result.remote < 0)
        throw Error("The desktop portal opened no PipeWire connection");
    return result;
}

void DesktopPortal::cancel() {
    const std::lock_guard held(mutex_);
    cancelled_ = true;
    if (starting_)
        starting_->cancel();
}

QImage DesktopPortal::screenshot() {
    PortalRequest request(bus_, portalService, portalPath, screenshotInterface);
    const QVariantMap taken = request.ask("Screenshot", {QString()},
                                          {{"interactive", false}, {"modal", false}}, "Screenshot");
    const QUrl uri(taken.value("uri").toString());
    QImage picture;
    if (!uri.isLocalFile() || !picture.load(uri.toLocalFile()))
        throw Error("The desktop's screenshot cannot be read: " + uri.toString().toStdString());
    // The file was made for this request alone.
    QFile::remove(uri.toLocalFile());
    return picture;
}

} // namespace kadrix
