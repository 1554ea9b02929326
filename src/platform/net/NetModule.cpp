// The requests, in a module of their own: Qt Network and the libraries
// behind it (Kerberos, the proxy library) are loaded at the first request,
// not at start-up.
#include "net/Http.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>
#include <utility>

namespace {
// The dones running on this thread. A done runs within its reply's abort()
// or signal: a client ended by it must leave that reply to the event loop.
thread_local int inDone = 0;

class QtHttp final : public HttpClient {
public:
    QtHttp() : net(new QNetworkAccessManager) { net->setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy); }
    ~QtHttp() override
    {
        qDeleteAll(calls);
        // Inside a done the reply that called it is still at work: the
        // manager and its replies go once that has returned.
        if (inDone > 0)
            net.release()->deleteLater();
    }

    quint64 send(const HttpRequest &r, Done done) override
    {
        QNetworkRequest request{r.url};
        for (const auto &h : r.headers)
            request.setRawHeader(h.first, h.second);
        QNetworkReply *reply = r.method == HttpRequest::Method::Post   ? net->post(request, r.body)
                               : r.method == HttpRequest::Method::Head ? net->head(request)
                                                                       : net->get(request);
        const quint64 id = ++last;
        Call *call = new Call{reply, r.maxBytes, {}, false, std::move(done)};
        calls.insert(id, call);
        // The body is taken as it arrives, so that the reply never holds more
        // than one piece of it.
        QObject::connect(reply, &QNetworkReply::readyRead, &context, [call] { read(*call); });
        // A HEAD reply tells the size of what a GET would bring, and brings none of it.
        if (r.method != HttpRequest::Method::Head)
            QObject::connect(reply, &QNetworkReply::metaDataChanged, &context, [call] {
                const QVariant length = call->reply->header(QNetworkRequest::ContentLengthHeader);
                if (length.isValid() && length.toLongLong() > call->maxBytes)
                    refuse(*call);
            });
        QObject::connect(reply, &QNetworkReply::finished, &context, [this, id] { finish(id); });
        return id;
    }

    void abort(quint64 id) override
    {
        if (Call *call = calls.value(id))
            call->reply->abort(); // finished follows at once, with an error
    }

private:
    struct Call {
        QNetworkReply *reply;
        qint64 maxBytes;
        QByteArray body;
        bool over;
        Done done;
    };

    static void read(Call &c)
    {
        // An abandoned reply is closed: nothing more to read.
        if (c.over || !c.reply->isOpen())
            return;
        // No more than is there: read(n) makes room for all of n first.
        c.body += c.reply->read(qMin(c.reply->bytesAvailable(), c.maxBytes + 1 - c.body.size()));
        if (c.body.size() > c.maxBytes)
            refuse(c);
    }

    static void refuse(Call &c)
    {
        if (c.over)
            return;
        c.over = true;
        c.body = QByteArray();
        c.reply->abort();
    }

    void finish(quint64 id)
    {
        Call *c = calls.take(id);
        if (!c)
            return;
        read(*c);
        QNetworkReply *reply = c->reply;
        HttpResult r;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        r.statusValid = status.isValid();
        r.status = status.toInt();
        r.canceled = reply->error() == QNetworkReply::OperationCanceledError;
        r.tooLarge = c->over;
        r.redirectRefused = reply->error() == QNetworkReply::InsecureRedirectError ||
                            reply->error() == QNetworkReply::TooManyRedirectsError;
        r.untrusted = reply->error() == QNetworkReply::SslHandshakeFailedError;
        if (!c->over)
            r.body = std::move(c->body);
        r.contentType = reply->rawHeader("Content-Type");
        r.date = reply->rawHeader("Date");
        r.retryAfter = reply->rawHeader("Retry-After");
        QObject::disconnect(reply, nullptr, &context, nullptr);
        reply->deleteLater();
        const Done done = std::move(c->done);
        delete c;
        // Last: done may end the client itself.
        ++inDone;
        done(r);
        --inDone;
    }

    std::unique_ptr<QNetworkAccessManager> net;
    QHash<quint64, Call *> calls;
    // After net: gone first, so that replies the manager ends as it goes
    // call no done.
    QObject context;
    quint64 last = 0;
};
} // namespace

extern "C" Q_DECL_EXPORT HttpClient *parcelio_new_http_client()
{
    return new QtHttp;
}
