// The window's side of the tracking service: a GET goes through GetBody as
// it always has; a POST waits the same way, with the window's events running.
#include "app/Form1.h"
#include "store/Store.h"
#include "net/Http.h"
#include "tracking/Client.h"
#include "tracking/Service.h"

#include <QEventLoop>
#include <QTimer>

const TrackingService &Form1::trackingService()
{
    if (!service)
        service = TrackingService::make(cfg);
    return *service;
}

TrackingClient &Form1::trackingClient()
{
    if (!client) {
        trackingService();
        // The window waits in place: each answer is handed on at once, and a
        // wait runs the window's events as the request's wait does.
        ClientWaiting waiting{
            [this](const ServiceRequest &request, std::function<void(const ServiceAnswer &)> then) {
                then(serviceExchange(request));
            },
            [](int ms, std::function<void()> then) {
                QEventLoop wait;
                QTimer::singleShot(ms, &wait, &QEventLoop::quit);
                wait.exec();
                then();
            },
            [this] { return now(); }};
        client = std::make_unique<TrackingClient>(service, std::move(waiting), storeMemory(db));
    }
    return *client;
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
    if (!http)
        http = newHttpClient();
    const HttpResult r = awaitHttp(*http, httpRequestOf(request), requestLimitMs);
    return serviceAnswerOf(r, now()); // stamped when it came
}
