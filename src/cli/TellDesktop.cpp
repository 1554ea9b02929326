#include "app/Autostart.h"
#include "cli/Commands.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QStringList>

// A refresh round's news on the desktop. A window running on the same book
// takes it (and notifies with its actions: it can bring the parcel up);
// without one, each parcel gets a plain notification. No bus, or no
// notification service: nothing is shown, nothing fails.
void tellDesktopOverBus(const QString &bookDir, const QList<RoundNews> &news)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QStringList ids;
    for (const RoundNews &n : news)
        ids << QString::number(n.id);
    QDBusMessage hand =
        QDBusMessage::createMethodCall(QString::fromLatin1(AppId), QStringLiteral("/Window"),
                                       QStringLiteral("cn.tesmar.parcelio.Window"), QStringLiteral("News"));
    hand << bookDir << ids;
    const QDBusReply<bool> taken = bus.call(hand, QDBus::Block, 3000);
    if (taken.isValid() && taken.value())
        return;
    for (const RoundNews &n : news) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        call << QStringLiteral("Parcelio") << uint(0) << QStringLiteral("parcelio")
             << QCoreApplication::translate("Notifications", "快递有最新进展")
             << (n.goods + QLatin1Char('\n') + n.newest).toHtmlEscaped() << QStringList()
             << QVariantMap{{QStringLiteral("desktop-entry"), QString::fromLatin1(AppId)}} << int(-1);
        // Waited for, so that the process does not end before it is sent.
        bus.call(call, QDBus::Block, 3000);
    }
}
