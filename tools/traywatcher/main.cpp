// parcelio-traywatcher: a stand-in tray host for tests. It owns
// org.kde.StatusNotifierWatcher on the session bus it is started on (a
// private one under dbus-run-session), says a host is registered, and
// writes the service of each item that registers as one line to --log.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QFile>
#include <QObject>
#include <cstdio>

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
public:
    explicit Watcher(const QString &logPath) : log(logPath) { log.open(QIODevice::Append); }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList registeredItems() const { return items; }

public slots:
    void RegisterStatusNotifierItem(const QString &service, const QDBusMessage &message)
    {
        // An item may give its object path instead of a bus name; then the
        // caller's unique name is the service.
        const QString item = service.startsWith(QLatin1Char('/')) ? message.service() + service : service;
        items << item;
        log.write(item.toUtf8() + '\n');
        log.flush();
        emit StatusNotifierItemRegistered(item);
    }
    void RegisterStatusNotifierHost(const QString &) {}

signals:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierItemUnregistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    QFile log;
    QStringList items;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--log"));
    if (at < 0 || at + 1 >= args.size()) {
        std::fputs("usage: parcelio-traywatcher --log FILE\n", stderr);
        return 2;
    }
    Watcher watcher(args.at(at + 1));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "parcelio-traywatcher: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

#include "main.moc"
