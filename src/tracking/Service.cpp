// What every tracking service shares: the courier table, the request on
// the wire, the answer's headers, and the written form of a reading.
#include "app/Tr.h"
#include "tracking/Service.h"
#include "app/Config.h"
#include "net/Download.h"
#include "store/Store.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

std::shared_ptr<const TrackingService> makeClassicService(const Config &cfg);
std::shared_ptr<const TrackingService> makeKdniaoService(const Config &cfg);
std::shared_ptr<const TrackingService> make17trackService(const Config &cfg);

std::shared_ptr<const TrackingService> TrackingService::make(const Config &cfg)
{
    if (cfg.service == QLatin1String("kdniao"))
        return makeKdniaoService(cfg);
    if (cfg.service == QLatin1String("17track"))
        return make17trackService(cfg);
    return makeClassicService(cfg);
}

ServiceRequest TrackingService::prelude(const ServiceAsk &) const
{
    ServiceRequest r;
    r.refused = troubleReading(TrackingReading::NoTrouble, Parcelio::tr("查询服务无需预先登记"));
    return r;
}

ServiceRequest TrackingService::batchRequest(const QList<ServiceAsk> &asks, bool prelude) const
{
    // One number a request: the batch is its first parcel.
    return prelude ? this->prelude(asks.value(0)) : request(asks.value(0));
}

QList<TrackingReading> TrackingService::readBatch(const ServiceAnswer &answer, const QList<ServiceAsk> &asks) const
{
    return QList<TrackingReading>(asks.size(), read(answer));
}

TrackingReading quotaReading(const ServiceAnswer &answer, bool accountWide)
{
    TrackingReading r = troubleReading(TrackingReading::Quota);
    // Without a Retry-After, the usual pace of these services.
    r.retryAt = retryMoment(answer.retryAfter, answer.at, 30 * 60);
    r.accountWide = accountWide;
    return r;
}

bool TrackingService::needsPhone(const QString &code) const
{
    return serviceCourier(name(), code).needsPhone;
}

TrackingReading troubleReading(TrackingReading::Trouble trouble, const QString &message)
{
    TrackingReading r;
    r.kind = TrackingReading::Failure;
    r.trouble = trouble;
    r.reply.kind = ReplyReading::Failure;
    r.reply.code = QStringLiteral("-1");
    QString text = message;
    if (text.isEmpty()) {
        switch (trouble) {
        case TrackingReading::WrongKey: text = ServiceText::WrongKey(); break;
        case TrackingReading::PhoneNeeded: text = ServiceText::PhoneNeeded(); break;
        case TrackingReading::Quota: text = ServiceText::Quota(); break;
        case TrackingReading::NotCovered: text = ServiceText::NotCovered(); break;
        case TrackingReading::NoTrouble: break;
        }
    }
    r.reply.message = text;
    return r;
}

TrackingReading eventsReading(TrackingReading r, const CodedStatus &coded)
{
    r.kind = TrackingReading::Events;
    orderNewestFirst(r.entries);
    r.status = decideStatus(coded, r.entries);
    return r;
}

bool isPhoneDigits(const QString &text)
{
    static const QRegularExpression four(QStringLiteral("^[0-9]{4}$"));
    return four.match(text).hasMatch();
}

QNetworkReply *sendServiceRequest(QNetworkAccessManager &net, const ServiceRequest &r)
{
    QNetworkRequest request{r.url};
    for (const auto &h : r.headers)
        request.setRawHeader(h.first, h.second);
    return r.post ? net.post(request, r.body) : net.get(request);
}

ServiceAnswer serviceAnswerOf(QNetworkReply *reply, const QDateTime &at)
{
    ServiceAnswer a;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    a.answered = status.isValid() && reply->error() != QNetworkReply::OperationCanceledError;
    a.status = status.toInt();
    a.at = at;
    if (a.answered) {
        a.retryAfter = reply->rawHeader("Retry-After");
        a.body = decodeReplyBody(reply->readAll(), reply->rawHeader("Content-Type"));
    }
    return a;
}

ServiceAnswer serviceAnswerOf(QNetworkReply *reply, BoundedBody &body, const QDateTime &at)
{
    ServiceAnswer a;
    a.at = at;
    const QByteArray received = body.take();
    if (body.tooLarge())
        a.refused = Parcelio::tr("的应答超过 %1 MiB").arg(ReplyLimit::Any / (1024 * 1024));
    else if (redirectRefused(reply))
        a.refused = Parcelio::tr("重定向到其他主机,未跟随");
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    a.answered = a.refused.isEmpty() && status.isValid() && reply->error() != QNetworkReply::OperationCanceledError;
    a.status = status.toInt();
    if (a.answered) {
        a.retryAfter = reply->rawHeader("Retry-After");
        a.body = decodeReplyBody(received, reply->rawHeader("Content-Type"));
    }
    return a;
}

QDateTime retryMoment(const QByteArray &header, const QDateTime &at, int fallbackSeconds)
{
    bool ok = false;
    const qint64 seconds = header.trimmed().toLongLong(&ok);
    if (ok && seconds >= 0)
        return at.addSecs(qMin<qint64>(seconds, 7 * 86400));
    const QString text = QString::fromLatin1(header.trimmed());
    QDateTime date = QDateTime::fromString(text, Qt::RFC2822Date);
    if (!date.isValid()) {
        // The HTTP date form, in English whatever the locale.
        date = QLocale::c().toDateTime(text, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
        date.setTimeSpec(Qt::UTC);
    }
    if (date.isValid() && date > at)
        return date;
    return at.addSecs(fallbackSeconds);
}

namespace {
// resources/services/couriers.tsv: directory code, then per service its
// code and whether phone digits are needed ("phone").
struct CourierTable {
    QHash<QString, ServiceCourier> kdniao, track17;
    // Service code to directory code, the first row of the file winning.
    QHash<QString, QString> kdniaoBack, track17Back;
};

const CourierTable &courierTable()
{
    static const CourierTable table = [] {
        CourierTable t;
        parcelioResources();
        QFile file(QStringLiteral(":/services/couriers.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return t;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char('\t'));
            auto entry = [&](int at) {
                ServiceCourier c;
                c.code = f.value(at).trimmed();
                if (c.code == QLatin1String("-"))
                    c.code.clear();
                c.covered = !f.value(at).trimmed().isEmpty() && f.value(at).trimmed() != QLatin1String("-");
                c.needsPhone = f.value(at + 1).trimmed() == QLatin1String("phone");
                return c;
            };
            const ServiceCourier kdniao = entry(1), track17 = entry(3);
            t.kdniao.insert(f.value(0), kdniao);
            t.track17.insert(f.value(0), track17);
            if (kdniao.covered && !t.kdniaoBack.contains(kdniao.code))
                t.kdniaoBack.insert(kdniao.code, f.value(0));
            if (track17.covered && !t.track17Back.contains(track17.code))
                t.track17Back.insert(track17.code, f.value(0));
        }
        return t;
    }();
    return table;
}
} // namespace

ServiceCourier serviceCourier(const QString &service, const QString &directoryCode)
{
    const CourierTable &t = courierTable();
    if (service == QLatin1String("kdniao"))
        return t.kdniao.value(directoryCode);
    if (service == QLatin1String("17track"))
        return t.track17.value(directoryCode);
    return ServiceCourier{directoryCode, false, true};
}

QString directoryCodeOf(const QString &service, const QString &serviceCode)
{
    const CourierTable &t = courierTable();
    if (service == QLatin1String("kdniao"))
        return t.kdniaoBack.value(serviceCode);
    if (service == QLatin1String("17track"))
        return t.track17Back.value(serviceCode);
    return serviceCode;
}

// ----------------------------------------------------------------- classic
namespace {
class ClassicService final : public TrackingService {
public:
    explicit ClassicService(const Config &cfg) : cfg(cfg) {}
    QString name() const override { return QStringLiteral("classic"); }
    ServiceRequest request(const ServiceAsk &ask) const override
    {
        ServiceRequest r;
        r.url = QUrl(trackingUrlOf(cfg, ask.code, ask.number));
        r.headers.append(QPair<QByteArray, QByteArray>("If-Modified-Since", "0"));
        return r;
    }
    TrackingReading read(const ServiceAnswer &answer) const override
    {
        // The body as it came, whatever the status: as the window has
        // always read it.
        return answer.answered ? readTrackingReply(answer.body) : TrackingReading{};
    }
    bool needsPhone(const QString &) const override { return false; }

private:
    Config cfg;
};
} // namespace

std::shared_ptr<const TrackingService> makeClassicService(const Config &cfg)
{
    return std::make_shared<ClassicService>(cfg);
}
