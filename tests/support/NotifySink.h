#pragma once
// Runs the stand-in notification service (tools/notifysink) on the test's
// private session bus for the lifetime of one object; calls() gives the
// notifications it was asked to show.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

class NotifySink {
public:
    // markup: it says it reads the body as markup.
    explicit NotifySink(bool markup = false)
    {
        proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args{QStringLiteral("--log"), dir.filePath(QStringLiteral("notify.jsonl"))};
        if (markup)
            args << QStringLiteral("--markup");
        proc.start(QString::fromLocal8Bit(qgetenv("PARCELIO_NOTIFYSINK_PATH")), args);
        ready = proc.waitForReadyRead(10000) && proc.readLine().trimmed() == "ready";
    }
    ~NotifySink()
    {
        proc.kill();
        proc.waitForFinished(5000);
    }
    QList<QJsonObject> calls() const
    {
        QList<QJsonObject> out;
        QFile f(dir.filePath(QStringLiteral("notify.jsonl")));
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (!line.isEmpty())
                    out << QJsonDocument::fromJson(line).object();
        return out;
    }
    bool ready = false;

private:
    QTemporaryDir dir;
    QProcess proc;
};
