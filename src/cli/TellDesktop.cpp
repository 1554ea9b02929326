#include "app/Autostart.h"
#include "cli/Commands.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
// The process holding the book's lock (the window on that book), which
// writes its id into the lock file; 0 when no process holds it.
qint64 bookHolder(const QString &bookDir)
{
    const QByteArray path = QFile::encodeName(bookDir + QStringLiteral("/db/kd100.ldb"));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return 0;
    qint64 pid = 0;
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        char text[32] = {};
        const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
        if (n > 0)
            pid = QByteArray(text, int(n)).trimmed().toLongLong();
    }
    ::close(fd); // also lets go of the lock, had it been free
    return pid;
}
} // namespace

// A window running on the same book takes a refresh round's news, and
// notifies with its actions (it can bring the parcel up). No bus, no window,
// or the name held by a process that is not the window on this book: the
// command tells the news itself.
bool tellDesktopOverBus(const QString &bookDir, const QStringList &ids)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<QString> owner = bus.interface()->serviceOwner(QString::fromLatin1(AppId));
    if (!owner.isValid())
        return false;
    const QDBusReply<uint> ownerPid = bus.interface()->servicePid(owner.value());
    const qint64 holder = bookHolder(bookDir);
    if (!ownerPid.isValid() || holder <= 0 || qint64(ownerPid.value()) != holder)
        return false;
    // Asked of that connection itself, so that no other can answer for it.
    QDBusMessage hand =
        QDBusMessage::createMethodCall(owner.value(), QStringLiteral("/Window"),
                                       QStringLiteral("cn.tesmar.parcelio.Window"), QStringLiteral("News"));
    hand << bookDir << ids;
    const QDBusReply<bool> taken = bus.call(hand, QDBus::Block, 3000);
    return taken.isValid() && taken.value();
}
