#include "platform/Notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
} // namespace

void DesktopNotifications::notify(const QString &summary, const QString &body, qint64 tag)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!connected) {
        // Signals of any sender of that name: the service may restart.
        bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
        connected = true;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    // The body is markup to some servers: plain text must stay plain.
    QString plain = body.toHtmlEscaped();
    call << QStringLiteral("Parcelio") << uint(0) << QStringLiteral("parcelio") << summary << plain
         << QStringList{QStringLiteral("default"), QStringLiteral("查看")}
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("parcelio")}} << int(-1);
    // Asynchronous: a slow or missing service never holds the window.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
    ++unanswered;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, tag](QDBusPendingCallWatcher *w) {
        --unanswered;
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError())
            tags.insert(reply.value(), tag);
        w->deleteLater();
    });
}

void DesktopNotifications::waitForAnswers(int limitMs)
{
    QDeadlineTimer deadline(limitMs);
    while (unanswered > 0 && !deadline.hasExpired()) {
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

void DesktopNotifications::actionInvoked(uint id, const QString &action)
{
    Q_UNUSED(action); // the only action is choosing the notification
    const auto it = tags.constFind(id);
    if (it == tags.constEnd())
        return; // another program's notification
    const qint64 tag = *it;
    if (onChosen)
        onChosen(tag);
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    tags.remove(id);
}
