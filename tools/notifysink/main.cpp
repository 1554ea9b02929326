// parcelio-notifysink: a stand-in desktop notification service for tests.
// It owns org.freedesktop.Notifications on the session bus it is started
// on (a private one under dbus-run-session), writes each Notify call as one
// JSON line to --log, and emits ActionInvoked when asked through Invoke.
// With --markup it says it reads the body as markup (body-markup).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <cstdio>

class Sink : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    Sink(const QString &logPath, bool markup) : log(logPath), markup(markup) { log.open(QIODevice::Append); }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int expireTimeout)
    {
        const uint id = ++lastId;
        const QJsonObject call{{"id", int(id)},
                               {"app_name", appName},
                               {"replaces_id", int(replacesId)},
                               {"app_icon", appIcon},
                               {"summary", summary},
                               {"body", body},
                               {"actions", QJsonArray::fromStringList(actions)},
                               {"hints", QJsonObject::fromVariantMap(hints)},
                               {"expire_timeout", expireTimeout}};
        log.write(QJsonDocument(call).toJson(QJsonDocument::Compact) + '\n');
        log.flush();
        return id;
    }
    QStringList GetCapabilities()
    {
        QStringList caps{QStringLiteral("actions"), QStringLiteral("body")};
        if (markup)
            caps << QStringLiteral("body-markup");
        return caps;
    }
    QString GetServerInformation(QString &vendor, QString &version, QString &specVersion)
    {
        vendor = QStringLiteral("Parcelio tests");
        version = QStringLiteral("1");
        specVersion = QStringLiteral("1.2");
        return QStringLiteral("parcelio-notifysink");
    }
    void CloseNotification(uint id) { emit NotificationClosed(id, 3); }
    // For the tests: as if the user chose the notification.
    void Invoke(uint id, const QString &action) { emit ActionInvoked(id, action); }

signals:
    void ActionInvoked(uint id, const QString &action);
    void NotificationClosed(uint id, uint reason);

private:
    QFile log;
    bool markup;
    uint lastId = 0;
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--log"));
    if (at < 0 || at + 1 >= args.size()) {
        std::fputs("usage: parcelio-notifysink --log FILE [--markup]\n", stderr);
        return 2;
    }
    Sink sink(args.at(at + 1), args.contains(QStringLiteral("--markup")));
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &sink,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) ||
        !bus.registerService(QStringLiteral("org.freedesktop.Notifications"))) {
        std::fprintf(stderr, "parcelio-notifysink: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

#include "main.moc"
