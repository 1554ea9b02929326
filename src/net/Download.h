#pragma once
// What every request of the window, the commands and the book watch shares:
// one size limit for a reply, read as it streams, and no redirect to another
// host.
#include <QByteArray>
#include <QMetaObject>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace ReplyLimit {
// Any reply. A tracking answer is a few KiB; a larger body is no answer.
constexpr qint64 Any = 4 * 1024 * 1024;
// The update service's version file ("V5.4") and its notice ("caption|URL").
constexpr qint64 Version = 1024;
constexpr qint64 Notice = 16 * 1024;
} // namespace ReplyLimit

// A network manager whose requests follow a redirect only to the same
// scheme, host and port; any other ends the request with an error.
std::unique_ptr<QNetworkAccessManager> newNetworkManager();

// True when the finished reply ended on a redirect that was not followed.
bool redirectRefused(const QNetworkReply *reply);

// A reply's body taken as it arrives, so that the reply never holds more
// than one piece of it; a body over maxBytes (or announced as such) aborts
// the reply. Lives no longer than the reply.
class BoundedBody {
public:
    BoundedBody(QNetworkReply *reply, qint64 maxBytes);
    ~BoundedBody();
    BoundedBody(const BoundedBody &) = delete;
    BoundedBody &operator=(const BoundedBody &) = delete;

    bool tooLarge() const { return over; }
    // The whole body once the reply has finished; empty when it was too large.
    QByteArray take();

private:
    void read();
    void refuse();

    QNetworkReply *reply;
    qint64 maxBytes;
    QByteArray body;
    bool over = false;
    QMetaObject::Connection onData, onHeaders;
};
