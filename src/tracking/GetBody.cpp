#include "app/Form1.h"
#include "tracking/Reply.h"

#include <QElapsedTimer>

QString Form1::GetBody(const QString &url)
{
    return fetch(url, requestLimitMs).body;
}

HttpReply Form1::fetch(const QString &url, int limitMs, bool headOnly, qint64 maxBytes)
{
    if (!http)
        http = newHttpClient();
    HttpRequest request;
    request.url = QUrl(url);
    request.maxBytes = maxBytes;
    if (headOnly)
        request.method = HttpRequest::Method::Head;
    else
        request.headers.append(qMakePair(QByteArray("If-Modified-Since"), QByteArray("0")));
    // Waits with the window's events running: timers tick and clicks are
    // handled, which the query's watchdog relies on. A request that never
    // completes is abandoned after limitMs.
    QElapsedTimer arrival;
    const HttpResult r = awaitHttp(*http, request, limitMs, &arrival);
    HttpReply out;
    if (!r.canceled && !r.tooLarge && !r.redirectRefused) {
        out.answered = r.statusValid;
        out.status = r.status;
        out.contentType = r.contentType;
        out.date = r.date;
        out.sinceArrival = arrival;
        out.body = decodeReplyBody(r.body, out.contentType);
    }
    return out;
}
