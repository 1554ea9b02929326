#pragma once
// Runs tools/mailsink.py, a real SMTP server on 127.0.0.1, for the lifetime
// of one object; messages() gives what it received, decoded by Python's
// own mail parser.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

class MailSink {
public:
    // options go to the script as given, e.g. {"--refuse", "x"} or {"--starttls"}.
    explicit MailSink(const QStringList &options = {})
    {
        const QStringList args =
            QStringList{QStringLiteral(PARCELIO_SOURCE_DIR "/tools/mailsink.py"), QStringLiteral("--maildir"),
                        dir.filePath(QStringLiteral("mail")), QStringLiteral("--log"), logPath()} +
            options;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Debian's interpreter, where python3-aiosmtpd is installed.
        process.start(QStringLiteral("/usr/bin/python3"), args);
        if (!process.waitForReadyRead(10000) && !process.canReadLine())
            return;
        const QByteArray line = process.readLine().trimmed();
        const QByteArray prefix = "listening ";
        if (line.startsWith(prefix))
            address = QString::fromLatin1(line.mid(prefix.size()));
    }
    ~MailSink()
    {
        process.kill();
        process.waitForFinished(5000);
    }
    MailSink(const MailSink &) = delete;
    MailSink &operator=(const MailSink &) = delete;

    bool isRunning() const { return !address.isEmpty(); }
    QString host() const { return address; }
    QList<QJsonObject> messages() const
    {
        QList<QJsonObject> out;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return out;
        for (const QByteArray &line : log.readAll().split('\n'))
            if (!line.isEmpty())
                out << QJsonDocument::fromJson(line).object();
        return out;
    }

private:
    QString logPath() const { return dir.filePath(QStringLiteral("log.jsonl")); }
    QTemporaryDir dir;
    QProcess process;
    QString address;
};
