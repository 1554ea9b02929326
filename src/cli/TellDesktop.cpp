#include "app/Autostart.h"
#include "cli/Commands.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QStringList>

// A window running on the same book takes a refresh round's news, and
// notifies with its actions (it can bring the parcel up). No bus, no window:
// the command tells the news itself.
bool tellDesktopOverBus(const QString &bookDir, const QStringList &ids)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage hand =
        QDBusMessage::createMethodCall(QString::fromLatin1(AppId), QStringLiteral("/Window"),
                                       QStringLiteral("cn.tesmar.parcelio.Window"), QStringLiteral("News"));
    hand << bookDir << ids;
    const QDBusReply<bool> taken = bus.call(hand, QDBus::Block, 3000);
    return taken.isValid() && taken.value();
}
