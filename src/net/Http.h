#pragma once
// Every request of the window, the commands and the book watch: one size
// limit for a reply, read as it streams, and no redirect to another host.
// The requests are made by a module of their own (src/platform/net), loaded
// at the first request: the network stack and the libraries behind it cost
// start-up nothing.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QUrl>
#include <functional>
#include <memory>

class QElapsedTimer;

namespace ReplyLimit {
// Any reply. A tracking answer is a few KiB; a larger body is no answer.
constexpr qint64 Any = 4 * 1024 * 1024;
// The update service's version file ("V5.4") and its notice ("caption|URL").
constexpr qint64 Version = 1024;
constexpr qint64 Notice = 16 * 1024;
} // namespace ReplyLimit

struct HttpRequest {
    enum class Method { Get, Head, Post };
    Method method = Method::Get;
    QUrl url;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body; // sent with Post only
    // A body over this (or announced as such) ends the request.
    qint64 maxBytes = ReplyLimit::Any;
};

// How a request ended.
struct HttpResult {
    bool statusValid = false; // a status line came back
    int status = 0;
    bool canceled = false;        // aborted: by a time limit, the caller or the size limit
    bool tooLarge = false;        // the body was over maxBytes
    bool redirectRefused = false; // it ended on a redirect that was not followed
    bool untrusted = false;       // the TLS handshake failed (a certificate not trusted here)
    QByteArray body;              // empty when tooLarge
    QByteArray contentType;
    QByteArray date;       // the Date header, raw
    QByteArray retryAfter; // the Retry-After header, raw
};

class HttpClient {
public:
    using Done = std::function<void(const HttpResult &)>;
    virtual ~HttpClient() = default;
    // Starts the request. done runs once, on this thread, when it has ended
    // (an aborted one too), never within send(). Calls still under way when
    // the client goes end without their done.
    virtual quint64 send(const HttpRequest &request, Done done) = 0;
    // Ends the call; its done runs with canceled before this returns.
    // Nothing for a call that has already ended.
    virtual void abort(quint64 call) = 0;
};

// A client of the module. Without the module every request ends at once
// unanswered, and standard error says why (once).
std::unique_ptr<HttpClient> newHttpClient();

// Sends and waits with this thread's events running (timers tick, clicks are
// handled), at most limitMs: then the request is aborted. arrived, when
// given, is started as the answer arrives: what runs inside the wait may
// hold the caller back long after that.
HttpResult awaitHttp(HttpClient &client, const HttpRequest &request, int limitMs, QElapsedTimer *arrived = nullptr);
