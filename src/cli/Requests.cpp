#include "cli/Requests.h"
#include "app/Text.h"
#include "app/Tr.h"
#include "cli/Commands.h"
#include "tracking/Reply.h"

#include <QEventLoop>
#include <QTimer>

namespace cli {
namespace {
// A failed reading told as one line, with the status that goes with it.
Failed failureOf(const TrackingReading &r, const CourierRecord &courier, const QString &number)
{
    if (r.reply.kind == ReplyReading::UnknownNumber)
        return {CommandStatus::UnknownNumber,
                Parcelio::tr("您当前查询的快递单号不存在 (%1 %2)").arg(courier.name, number)};
    switch (r.trouble) {
    case TrackingReading::PhoneNeeded: return {CommandStatus::Usage, r.reply.message + QStringLiteral(" (--phone)")};
    case TrackingReading::NotCovered:
        return {CommandStatus::Usage, r.reply.message + QStringLiteral(" (%1)").arg(courier.name)};
    case TrackingReading::Quota:
        if (r.retryAt.isValid())
            return {CommandStatus::ServiceFailed,
                    r.reply.message +
                        Parcelio::tr(" (%1 以后)").arg(holdText(r.retryAt, QDateTime::currentDateTime()))};
        break;
    case TrackingReading::Refused:
        return {CommandStatus::Usage, r.reply.message + QStringLiteral(" (%1 %2)").arg(courier.name, number)};
    case TrackingReading::Awaiting:
    case TrackingReading::WrongKey:
    case TrackingReading::NoTrouble: break;
    }
    return {CommandStatus::ServiceFailed,
            r.reply.message.isEmpty() ? Parcelio::tr("查询失败,错误代码 %1").arg(r.reply.code) : r.reply.message};
}

// The request waited for in a nested loop, at most limitMs (then it is
// aborted), and read as the tracking service's answers are.
ServiceAnswer answerOf(Context &c, const HttpRequest &request)
{
    if (!c.http)
        c.http = newHttpClient();
    const HttpResult r = awaitHttp(*c.http, request, c.limitMs);
    return serviceAnswerOf(r, QDateTime::currentDateTime());
}

// The tracking client, waiting as the commands wait: each request up to
// limitMs, the client's own waits with the events running.
TrackingClient &clientOf(Context &c)
{
    if (!c.client) {
        ClientWaiting waiting{
            [&c](const ServiceRequest &request, std::function<void(const ServiceAnswer &)> then) {
                then(exchange(c, request));
            },
            [](int ms, std::function<void()> then) {
                QEventLoop wait;
                QTimer::singleShot(ms, &wait, &QEventLoop::quit);
                wait.exec();
                then();
            },
            [] { return QDateTime::currentDateTime(); }};
        c.client = std::make_unique<TrackingClient>(c.service, std::move(waiting), storeMemory(*c.store));
    }
    return *c.client;
}
} // namespace

// The request as the window sends it, waited for at most limitMs.
Fetched fetch(Context &c, const QString &url)
{
    HttpRequest request;
    request.url = QUrl(url);
    request.headers.append(qMakePair(QByteArray("If-Modified-Since"), QByteArray("0")));
    return answerOf(c, request);
}

std::optional<Failed> noGoodAnswer(const Fetched &f, const QString &service)
{
    if (!f.answered)
        return Failed{CommandStatus::ServiceFailed,
                      service + (f.refused.isEmpty() ? Parcelio::tr("没有应答") : f.refused)};
    // An error page is no answer, whatever it holds.
    if (f.status < 200 || f.status > 299)
        return Failed{CommandStatus::ServiceFailed, service + Parcelio::tr("出错 (HTTP %1)").arg(f.status)};
    return std::nullopt;
}

// One request of the tracking service, waited for at most limitMs.
ServiceAnswer exchange(Context &c, const ServiceRequest &request)
{
    return answerOf(c, httpRequestOf(request));
}

std::optional<Failed> track(Context &c, const CourierRecord &courier, const QString &number, const QString &phone,
                            Tracked &t)
{
    TrackingReading reading;
    clientOf(c).ask({ServiceAsk{courier.code, number, phone}},
                    [&reading](const QList<TrackingReading> &readings) { reading = readings.value(0); });
    t.queried = QDateTime::currentDateTime();
    // Handed out also when refused: its hold is kept all the same.
    t.reading = reading;
    switch (reading.kind) {
    case TrackingReading::NoAnswer:
        return Failed{CommandStatus::ServiceFailed, Parcelio::tr("查询服务没有应答")};
    case TrackingReading::Unreadable:
        return Failed{CommandStatus::ServiceFailed, Parcelio::tr("查询结果无法识别,请稍后再试..")};
    case TrackingReading::Failure:
        // Registered, not found yet: kept, and told so.
        if (reading.trouble == TrackingReading::Awaiting)
            return std::nullopt;
        return failureOf(reading, courier, number);
    case TrackingReading::NoEvents:
    case TrackingReading::Events: break;
    }
    return std::nullopt;
}
} // namespace cli
