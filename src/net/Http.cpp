#include "net/Http.h"
#include "platform/Modules.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <cstdio>

namespace {
// Where the module is missing: every request ends unanswered, as one with
// no network would.
class NoHttp final : public HttpClient {
public:
    quint64 send(const HttpRequest &, Done done) override
    {
        const quint64 call = ++last;
        pending.insert(call, std::move(done));
        QTimer::singleShot(0, &context, [this, call] { end(call, HttpResult{}); });
        return call;
    }
    void abort(quint64 call) override
    {
        HttpResult r;
        r.canceled = true;
        end(call, r);
    }

private:
    void end(quint64 call, const HttpResult &r)
    {
        const Done done = pending.take(call);
        if (done)
            done(r);
    }
    QHash<quint64, Done> pending;
    QObject context; // after pending: its timers go first
    quint64 last = 0;
};
} // namespace

std::unique_ptr<HttpClient> newHttpClient()
{
    using Make = HttpClient *(*)();
    static const auto make = reinterpret_cast<Make>(moduleFunction("parcelio-net", "parcelio_new_http_client"));
    if (make)
        return std::unique_ptr<HttpClient>(make());
    static bool told = false;
    if (!told) {
        told = true;
        std::fputs("parcelio: libparcelio-net.so is missing: no request can be made\n", stderr);
    }
    return std::make_unique<NoHttp>();
}

HttpResult awaitHttp(HttpClient &client, const HttpRequest &request, int limitMs, QElapsedTimer *arrived)
{
    HttpResult out;
    bool ended = false;
    QEventLoop wait;
    const quint64 call = client.send(request, [&](const HttpResult &r) {
        out = r;
        ended = true;
        if (arrived)
            arrived->start();
        wait.quit();
    });
    if (!ended) {
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &wait, [&client, call] { client.abort(call); });
        limit.start(limitMs);
        wait.exec();
    }
    return out;
}
