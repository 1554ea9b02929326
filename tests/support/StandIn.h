#pragma once

// Runs parcelio-standin, the local stand-in of the online services, for the
// lifetime of one object. Tests point the program at host() and read back
// what it asked for through requests().

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#ifndef PARCELIO_STANDIN_PATH
#define PARCELIO_STANDIN_PATH "parcelio-standin"
#endif

class StandIn {
public:
    // fixturesDir replaces the built-in fixtures when given; extraArguments
    // go to the tool unchanged (e.g. {"--date", "Tue, 08 Dec 2026 05:50:38 GMT"}).
    explicit StandIn(const QString &fixturesDir = QString(),
                     const QStringList &extraArguments = QStringList())
    {
        if (!m_tempDir.isValid()) {
            m_error = QStringLiteral("no temporary directory: ") + m_tempDir.errorString();
            return;
        }
        QStringList arguments{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--log"),
                              logPath()};
        if (!fixturesDir.isEmpty())
            arguments << QStringLiteral("--fixtures") << fixturesDir;
        arguments << extraArguments;

        // The tool's complaints belong in the test output.
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QString::fromUtf8(PARCELIO_STANDIN_PATH), arguments);

        const QDeadlineTimer deadline(10000);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime()))) {
                m_error = QStringLiteral("%1 did not report listening: %2")
                              .arg(QString::fromUtf8(PARCELIO_STANDIN_PATH), m_process.errorString());
                return;
            }
        }
        const QByteArray line = m_process.readLine().trimmed();
        const QByteArray prefix = QByteArrayLiteral("listening 127.0.0.1:");
        bool ok = false;
        const uint port = line.startsWith(prefix) ? line.mid(prefix.size()).toUInt(&ok) : 0;
        if (!ok || port == 0 || port > 65535) {
            m_error = QStringLiteral("unexpected first line: ") + QString::fromUtf8(line);
            return;
        }
        m_port = quint16(port);
    }

    ~StandIn()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    StandIn(const StandIn &) = delete;
    StandIn &operator=(const StandIn &) = delete;

    bool isRunning() const { return m_port != 0 && m_process.state() == QProcess::Running; }
    QString errorString() const { return m_error; }

    quint16 port() const { return m_port; }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    // pathAndQuery starts with '/', e.g. "/autonumber/auto?num=1".
    QUrl url(const QString &pathAndQuery = QStringLiteral("/")) const
    {
        return QUrl(QStringLiteral("http://") + host() + pathAndQuery);
    }

    QString logPath() const { return m_tempDir.filePath(QStringLiteral("requests.log")); }

    // One entry per request received so far:
    // "METHOD<TAB>path?query<TAB>Name: value<TAB>...".
    QStringList requests() const
    {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Requests whose path (and query) starts with pathPrefix.
    int countRequests(const QString &pathPrefix) const
    {
        int count = 0;
        for (const QString &line : requests()) {
            if (line.section(QLatin1Char('\t'), 1, 1).startsWith(pathPrefix))
                ++count;
        }
        return count;
    }

private:
    QTemporaryDir m_tempDir; // declared before m_process: it must outlive the child
    QProcess m_process;
    quint16 m_port = 0;
    QString m_error;
};
