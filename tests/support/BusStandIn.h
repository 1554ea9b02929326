#pragma once
// A stand-in service of our own (tools/notifysink, tools/traywatcher) on the
// private session bus of a test, for the lifetime of one object: started
// with --log, ready once it says so.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

class BusStandIn {
public:
    explicit BusStandIn(const QString &program, const QStringList &options = {})
    {
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc.start(program, QStringList{QStringLiteral("--log"), dir.filePath(QStringLiteral("log"))} + options);
        ready = proc.waitForReadyRead(10000) && proc.readLine().trimmed() == "ready";
    }
    ~BusStandIn()
    {
        proc.kill();
        proc.waitForFinished(5000);
    }
    BusStandIn(const BusStandIn &) = delete;
    BusStandIn &operator=(const BusStandIn &) = delete;
    // What it logged, one entry a line.
    QList<QByteArray> lines() const
    {
        QList<QByteArray> out;
        QFile f(dir.filePath(QStringLiteral("log")));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    out << line;
        return out;
    }
    bool ready = false;

private:
    QTemporaryDir dir;
    QProcess proc;
};

// The stand-in notification service: calls() gives the notifications it
// was asked to show, in order.
class NotifySink : public BusStandIn {
public:
    // markup: it says it reads the body as markup.
    explicit NotifySink(bool markup = false)
        : BusStandIn(QString::fromLocal8Bit(qgetenv("PARCELIO_NOTIFYSINK_PATH")),
                     markup ? QStringList{QStringLiteral("--markup")} : QStringList{})
    {
    }
    QList<QJsonObject> calls() const
    {
        QList<QJsonObject> out;
        for (const QByteArray &line : lines())
            out << QJsonDocument::fromJson(line).object();
        return out;
    }
};
