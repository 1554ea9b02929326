#include "app/Form1.h"
#include "tracking/Reply.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

QString Form1::GetBody(const QString &url)
{
    return fetch(url, requestLimitMs).body;
}

HttpReply Form1::fetch(const QString &url, int limitMs, bool headOnly, qint64 maxBytes)
{
    if (!net)
        net = newNetworkManager();
    QNetworkRequest request{QUrl(url)};
    QNetworkReply *reply = nullptr;
    if (headOnly) {
        reply = net->head(request);
    } else {
        request.setRawHeader("If-Modified-Since", "0");
        reply = net->get(request);
    }
    BoundedBody body(reply, maxBytes);

    // Wait with the window's events running: timers tick and clicks are
    // handled, which the query's watchdog relies on. A request that never
    // completes is abandoned after limitMs.
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    bool abandoned = false;
    connect(&limit, &QTimer::timeout, reply, [reply, &abandoned] {
        abandoned = true;
        reply->abort();
    });
    QElapsedTimer arrival;
    connect(reply, &QNetworkReply::finished, &wait, [&wait, &arrival] {
        arrival.start();
        wait.quit();
    });
    if (reply->isFinished())
        arrival.start();
    else {
        limit.start(limitMs);
        wait.exec();
    }
    limit.stop();

    HttpReply out;
    const QByteArray received = body.take();
    if (!abandoned && !body.tooLarge() && !redirectRefused(reply)) {
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        out.answered = status.isValid();
        out.status = status.toInt();
        out.contentType = reply->rawHeader("Content-Type");
        out.date = reply->rawHeader("Date");
        out.sinceArrival = arrival;
        out.body = decodeReplyBody(received, out.contentType);
    }
    reply->deleteLater();
    return out;
}
