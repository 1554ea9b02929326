#include "platform/Notifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <utility>

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
        // Another server (or a first one) may read markup where the last
        // did not: it is asked afresh.
        auto *server = new QDBusServiceWatcher(Service, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(server, &QDBusServiceWatcher::serviceOwnerChanged, this, [this] {
            if (markup != Markup::Asking)
                markup = Markup::Unknown;
        });
        connected = true;
    }
    // Choosing the notification itself is its view action's; a notification
    // without actions (a command's, no window to act) offers none.
    QStringList pairs;
    for (const NotifyAction &a : actions) {
        if (a.key == QLatin1String("view"))
            pairs << QStringLiteral("default") << a.label;
        pairs << a.key << a.label;
    }
    const Waiting n{summary, body, tag, pairs};
    if (markup == Markup::Read || markup == Markup::Plain) {
        send(n);
        return;
    }
    // Counted from now: a program about to leave waits for these too.
    ++unanswered;
    waiting << n;
    if (markup == Markup::Asking)
        return;
    markup = Markup::Asking;
    const QDBusMessage ask =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("GetCapabilities"));
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(ask, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        const QDBusPendingReply<QStringList> reply = *w;
        w->deleteLater();
        // No answer: most likely no server, and no markup to fear either;
        // the next notification asks again.
        markup = reply.isError()                                           ? Markup::Unknown
                 : reply.value().contains(QLatin1String("body-markup")) ? Markup::Read
                                                                          : Markup::Plain;
        const QList<Waiting> now = std::exchange(waiting, {});
        for (const Waiting &n : now) {
            --unanswered;
            send(n);
        }
    });
}

void DesktopNotifications::send(const Waiting &n)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    // A server that reads markup gets the text escaped, so that it stays
    // text; any other shows it as it stands.
    const QString body = markup == Markup::Read ? n.body.toHtmlEscaped() : n.body;
    call << QStringLiteral("Parcelio") << uint(0) << QStringLiteral("parcelio") << n.summary << body << n.actions
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("cn.tesmar.parcelio")}} << int(-1);
    // Asynchronous: a slow or missing service never holds the window.
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, 5000), this);
    ++unanswered;
    const qint64 tag = n.tag;
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
