#include "platform/Notifications.h"

#include <QCoreApplication>
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

void DesktopNotifications::notify(const QString &summary, const QString &body, qint64 tag,
                                  const QList<NotifyAction> &actions)
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
    // Choosing the notification itself is its view action's; a notification
    // without actions (a command's, no window to act) offers none.
    QStringList pairs;
    for (const NotifyAction &a : actions) {
        if (a.key == QLatin1String("view"))
            pairs << QStringLiteral("default") << a.label;
        pairs << a.key << a.label;
    }
    call << QStringLiteral("Parcelio") << uint(0) << QStringLiteral("parcelio") << summary << plain << pairs
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("cn.tesmar.parcelio")}} << int(-1);
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
    const auto it = tags.constFind(id);
    if (it == tags.constEnd())
        return; // another program's notification
    const qint64 tag = *it;
    if (action == QLatin1String("default") || action == QLatin1String("view")) {
        if (onChosen)
            onChosen(tag);
    } else if (onAction) {
        onAction(tag, action);
    }
}

void DesktopNotifications::notificationClosed(uint id, uint)
{
    tags.remove(id);
}
