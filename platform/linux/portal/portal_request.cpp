// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/portal/portal_request.h"

#include "platform/linux/portal/desktop_portal.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <atomic>
#include <string>
#include <unistd.h>

namespace kadrix {

namespace {

const QString requestInterface = "org.freedesktop.portal.Request";

// The portal's answers: 0 done, 1 the user said no, 2 otherwise ended.
constexpr uint refused = 1;

// ":1.42" -> "1_42", as request objects are named after their caller.
QString senderPart(const QDBusConnection& bus) {
    return bus.baseService().mid(1).replace('.', '_');
}

} // namespace

PortalRequest::PortalRequest(QDBusConnection bus, QString service, QString path, QString interface)
    : bus_(std::move(bus)), service_(std::move(service)), path_(std::move(path)),
      interface_(std::move(interface)) {}

QString PortalRequest::newToken() {
    static std::atomic<int> count = 0;
    return QString("kadrix%1_%2").arg(::getpid()).arg(++count);
}

QVariantMap PortalRequest::ask(const QString& method, QVariantList arguments, QVariantMap options,
                               const char* what) {
    const QString token = newToken();
    options.insert("handle_token", token);
    const QString request =
        "/org/freedesktop/portal/desktop/request/" + senderPart(bus_) + "/" + token;
    done_ = false;
    // Listening before the call, so that a quick answer is not lost.
    bus_.connect(service_, request, requestInterface, "Response", this,
                 SLOT(answered(uint, QVariantMap)));
    arguments.append(options);
    QDBusMessage call = QDBusMessage::createMethodCall(service_, path_, interface_, method);
    call.setArguments(arguments);
    // The portal may wait for the user's answer: no time limit.
    const QDBusMessage reply = bus_.call(call, QDBus::Block, -1);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        bus_.disconnect(service_, request, requestInterface, "Response", this,
                        SLOT(answered(uint, QVariantMap)));
        throw Error(std::string("The desktop portal refused ") + what + ": " +
                    reply.errorMessage().toStdString());
    }
    // Portals before 0.9 named the request object themselves.
    const QString named = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (!named.isEmpty() && named != request) {
        bus_.disconnect(service_, request, requestInterface, "Response", this,
                        SLOT(answered(uint, QVariantMap)));
        bus_.connect(service_, named, requestInterface, "Response", this,
                     SLOT(answered(uint, QVariantMap)));
    }
    if (!done_)
        loop_.exec();
    bus_.disconnect(service_, named.isEmpty() ? request : named, requestInterface, "Response", this,
                    SLOT(answered(uint, QVariantMap)));
    if (response_ == refused)
        throw PortalRefused(std::string("The user did not allow ") + what);
    if (response_ != 0)
        throw Error(std::string("The desktop portal ended ") + what + " unanswered");
    return results_;
}

void PortalRequest::cancel() {
    // Run by the request's own thread, in its event loop.
    QMetaObject::invokeMethod(
        this,
        [this] {
            cancelled_ = true;
            loop_.quit();
        },
        Qt::QueuedConnection);
}

void PortalRequest::answered(uint response, const QVariantMap& results) {
    response_ = response;
    results_ = results;
    done_ = true;
    loop_.quit();
}

} // namespace kadrix
