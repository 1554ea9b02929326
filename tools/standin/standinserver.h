#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QHttpServer>
#include <QHttpServerResponder>
#include <QJsonObject>
#include <QSet>
#include <QString>

#include <optional>

struct StandInConfig {
    QString fixturesDir;
    QString account = QStringLiteral("731845");
    QString secret = QStringLiteral("5c1d8e0b7a2f4963d0e8b1c6a4f7e2d9");
    QString key = QStringLiteral("B7D40C2E91A3F5680D4C7E1B93A2F065");
    QByteArray fixedDate; // empty: answer with the real clock
    // The signed instant query's account and the token API's key.
    QString kdniaoBusinessId = QStringLiteral("1237100");
    QString kdniaoApiKey = QStringLiteral("56da2cf8-c8a2-44b2-b6fa-476cd7d1ba17");
    QString track17Token = QStringLiteral("8A3F5C2E9D0B14E7A6C2F0D9B8E71A53");
};

// "Tue, 08 Dec 2026 05:50:38 GMT" with English names whatever the locale.
QByteArray httpDate(const QDateTime &when);

class StandInServer {
public:
    explicit StandInServer(StandInConfig config);

    bool openLog(const QString &path, QString *error);
    // Binds 127.0.0.1 only; returns the port, 0 on failure.
    quint16 listen(quint16 port);

private:
    using Status = QHttpServerResponder::StatusCode;

    struct Reply {
        Status status = Status::Ok;
        QByteArray contentType;
        QByteArray body;
    };

    // Files beside a fixture that change how its reply is delivered.
    struct Modifiers {
        int delayMs = 0;
        bool never = false;
        bool gbk = false;
        std::optional<Status> status;
        QByteArray contentType;  // empty: the route's own
        QByteArray location;     // a Location header when not empty
        qint64 streamBytes = -1; // a streamed filler body of this size instead
    };

    using Handler = void (StandInServer::*)(const QHttpServerRequest &, QHttpServerResponder &&);
    void addRoute(const QString &path, Handler handler);
    bool preamble(const QHttpServerRequest &request, QHttpServerResponder &responder);

    void tracking(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void probe(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void version(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void notice(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void autonumber(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void staticFile(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void kdniao(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void kdniaoRecognition(const QString &number, QJsonObject reply, QHttpServerResponder &&responder);
    void track17Register(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void track17Info(const QHttpServerRequest &request, QHttpServerResponder &&responder);
    // A call refused whole (token, too many numbers, a number's "-top" code):
    // answered here.
    bool track17Refused(const QHttpServerRequest &request, const QJsonArray &items, QHttpServerResponder &responder);
    // Status 429 with Retry-After when the number's ".429" file names the seconds.
    bool tooOften(const QString &base, QHttpServerResponder &responder) const;

    void textFile(const QString &base, QHttpServerResponder &&responder);
    std::optional<QByteArray> nextHeadDate();
    QString fixture(const QString &relative) const;
    Modifiers readModifiers(const QString &base) const;
    void deliver(QHttpServerResponder &&responder, Reply reply, const Modifiers &mods);
    // date unset: the usual Date header; empty: none at all.
    // location: a Location header when not empty.
    void send(QHttpServerResponder &&responder, const Reply &reply,
              const std::optional<QByteArray> &date = std::nullopt, const QByteArray &location = {}) const;
    void sendFile(QHttpServerResponder &&responder, const QString &path, const QByteArray &contentType) const;
    void sendNotFound(QHttpServerResponder &&responder) const;
    void stream(QHttpServerResponder &&responder, const Reply &reply, qint64 bytes) const;
    void log(const QHttpServerRequest &request);
    QByteArray date() const;

    StandInConfig m_config;
    QHttpServer m_http;
    QFile m_log;
    int m_headRequests = 0;
    QSet<QString> m_registered; // numbers the token API has registered
    QHash<QString, int> m_pending;
    QHash<QString, int> m_carriers; // the carrier key given at registration // readings still to answer NotFound after registering
};
