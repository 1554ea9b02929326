#pragma once
// A stand-in service of our own (tools/notifysink, tools/traywatcher) on the
// private session bus of a test: started with --log, ready once it says so.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

class BusStandIn {
public:
    explicit BusStandIn(const QString &program)
    {
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc.start(program, {QStringLiteral("--log"), dir.filePath(QStringLiteral("log"))});
        ready = proc.waitForReadyRead(10000) && proc.readLine().trimmed() == "ready";
    }
    ~BusStandIn()
    {
        proc.kill();
        proc.waitForFinished(5000);
    }
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
