// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

namespace kadrix {

// The portal's requests: a method call whose answer comes later as the
// Response signal of a request object, which the caller names in advance so
// that no answer is missed. Waits in an event loop of the calling thread.
class PortalRequest : public QObject {
    Q_OBJECT

public:
    PortalRequest(QDBusConnection bus, QString service, QString path, QString interface);

    // A name for a request or a session, unique in this process.
    static QString newToken();

    // Calls method with arguments, then options (handle_token added), and
    // returns the answer's results. Throws PortalRefused where the user said
    // no, kadrix::Error for every other failure (what: the request's name).
    QVariantMap ask(const QString& method, QVariantList arguments, QVariantMap options,
                    const char* what);
    // From any thread: the request waited for, or the next one, ends
    // unanswered, its dialog closed; ask then throws kadrix::Error.
    void cancel();

private slots:
    void answered(uint response, const QVariantMap& results);

private:
    QDBusConnection bus_;
    QString service_;
    QString path_;
    QString interface_;
    QEventLoop loop_;
    bool done_ = false;
    bool cancelled_ = false;
    uint response_ = 0;
    QVariantMap results_;
};

} // namespace kadrix
