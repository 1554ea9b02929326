// The window's side of the tracking service: a GET goes through GetBody as
// it always has; a POST waits the same way, with the window's events running.
#include "app/Form1.h"
#include "net/Download.h"
#include "tracking/Service.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>

const TrackingService &Form1::trackingService()
{
    if (!service)
        service = TrackingService::make(cfg);
    return *service;
}

ServiceAnswer Form1::serviceExchange(const ServiceRequest &request)
{
    ServiceAnswer a;
    if (!request.post) {
        a.body = GetBody(request.url.toString(QUrl::FullyEncoded));
        a.answered = !a.body.isEmpty();
        a.status = 200;
        a.at = now();
        return a;
    }
    if (!net)
        net = newNetworkManager();
    QNetworkReply *reply = sendServiceRequest(*net, request);
    BoundedBody body(reply, ReplyLimit::Any);
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished()) {
        limit.start(requestLimitMs);
        wait.exec();
    }
    limit.stop();
    a = serviceAnswerOf(reply, body, now());
    reply->deleteLater();
    return a;
}
