// What every tracking service shares: the courier table, the request on
// the wire, the answer's headers, and the written form of a reading.
#include "app/Tr.h"
#include "tracking/Service.h"
#include "app/Config.h"
#include "tracking/ServiceSettings.h"
#include "net/Http.h"
#include "store/Store.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>

// Each service's own file gives its maker and its settings.
std::shared_ptr<const TrackingService> makeClassicService(const Config &cfg);
std::shared_ptr<const TrackingService> makeKdniaoService(const Config &cfg);
QList<ServiceSetting> kdniaoSettings();
std::shared_ptr<const TrackingService> make17trackService(const Config &cfg);
QList<ServiceSetting> track17Settings();

namespace {
// Every service the settings may name: a new one is a line here, its own
// file and its column in the courier table. The first is the default.
struct ServiceEntry {
    const char *name;
    std::shared_ptr<const TrackingService> (*make)(const Config &);
    QList<ServiceSetting> (*settings)();
};
const ServiceEntry Services[] = {
    {"classic", makeClassicService, nullptr},
    {"kdniao", makeKdniaoService, kdniaoSettings},
    {"17track", make17trackService, track17Settings},
};
} // namespace

std::shared_ptr<const TrackingService> TrackingService::make(const Config &cfg)
{
    for (const ServiceEntry &s : Services)
        if (cfg.service == QLatin1String(s.name))
            return s.make(cfg);
    return Services[0].make(cfg);
}

QList<ServiceSettingsGroup> serviceSettingGroups()
{
    QList<ServiceSettingsGroup> groups;
    for (const ServiceEntry &s : Services)
        if (s.settings)
            groups.append({QString::fromLatin1(s.name), s.settings()});
    return groups;
}

QString serviceSetting(const Config &cfg, const QString &service, const ServiceSetting &setting)
{
    return cfg.serviceSettings.value(service + QLatin1Char('/') + QString::fromLatin1(setting.key),
                                     QString::fromUtf8(setting.defaultValue));
}

QList<TrackingReading> TrackingService::readRegistration(const ServiceAnswer &, const QList<ServiceAsk> &asks) const
{
    TrackingReading registered;
    registered.kind = TrackingReading::NoEvents;
    return QList<TrackingReading>(asks.size(), registered);
}

QString numberKey(const QString &number)
{
    QString key;
    key.reserve(number.size());
    for (const QChar c : number)
        if (c.isLetterOrNumber())
            key += c.toUpper();
    return key;
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

TrackingReading quotaReading(const ServiceAnswer &answer, bool accountWide, int fallbackSeconds)
{
    TrackingReading r = troubleReading(TrackingReading::Quota);
    r.retryAt = retryMoment(answer.retryAfter, answer.at, fallbackSeconds);
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
        case TrackingReading::Awaiting: text = ServiceText::Awaiting(); break;
        case TrackingReading::Refused:
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

HttpRequest httpRequestOf(const ServiceRequest &r, qint64 maxBytes)
{
    HttpRequest request;
    request.method = r.post ? HttpRequest::Method::Post : HttpRequest::Method::Get;
    request.url = r.url;
    request.headers = r.headers;
    request.body = r.body;
    request.maxBytes = maxBytes;
    return request;
}

HttpRequest httpRequestOf(const ServiceRequest &r)
{
    return httpRequestOf(r, ReplyLimit::Any);
}

ServiceAnswer serviceAnswerOf(const HttpResult &r, const QDateTime &at)
{
    ServiceAnswer a;
    a.at = at;
    if (r.tooLarge)
        a.refused = Parcelio::tr("的应答超过 %1 MiB").arg(ReplyLimit::Any / (1024 * 1024));
    else if (r.redirectRefused)
        a.refused = Parcelio::tr("重定向到其他主机,未跟随");
    else if (r.untrusted)
        // A certificate this system does not trust: the service did answer,
        // and "no answer" would send the user looking at the network.
        a.refused = Parcelio::tr("的证书无法验证");
    a.answered = a.refused.isEmpty() && r.statusValid && !r.canceled;
    a.status = r.status;
    if (a.answered) {
        a.retryAfter = r.retryAfter;
        a.body = decodeReplyBody(r.body, r.contentType);
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
    // Whatever the form, no hold beyond a week: a date years ahead is a
    // fault of the server, not a reason to stop asking.
    if (date.isValid() && date > at)
        return qMin(date, at.addSecs(7 * 86400));
    return at.addSecs(fallbackSeconds);
}

namespace {
// resources/services/couriers.tsv: a header row names the columns (the
// directory code first, then per service its code, and "SERVICE:phone"
// where it marks couriers needing phone digits), then one row a courier.
struct CourierTable {
    // Per service: directory code to its entry, and its code back to the
    // directory code (the first row of the file winning).
    QHash<QString, QHash<QString, ServiceCourier>> codes;
    QHash<QString, QHash<QString, QString>> back;
};

const CourierTable &courierTable()
{
    static const CourierTable table = [] {
        CourierTable t;
        parcelioResources();
        QFile file(QStringLiteral(":/services/couriers.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return t;
        QStringList header;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char('\t'));
            if (header.isEmpty()) {
                header = f;
                continue;
            }
            for (qsizetype at = 1; at < header.size(); ++at) {
                const QString service = header.at(at).trimmed();
                if (service.contains(QLatin1Char(':')))
                    continue;
                const QString code = f.value(at).trimmed();
                ServiceCourier c;
                c.covered = !code.isEmpty() && code != QLatin1String("-");
                c.code = c.covered ? code : QString();
                const qsizetype phoneAt = header.indexOf(service + QStringLiteral(":phone"));
                c.needsPhone = phoneAt > 0 && f.value(phoneAt).trimmed() == QLatin1String("phone");
                t.codes[service].insert(f.value(0), c);
                if (c.covered && !t.back[service].contains(c.code))
                    t.back[service].insert(c.code, f.value(0));
            }
        }
        return t;
    }();
    return table;
}
} // namespace

ServiceCourier serviceCourier(const QString &service, const QString &directoryCode)
{
    const CourierTable &t = courierTable();
    if (const auto s = t.codes.constFind(service); s != t.codes.constEnd())
        return s->value(directoryCode);
    // A service without a column takes the directory's own codes.
    return ServiceCourier{directoryCode, false, true};
}

QString directoryCodeOf(const QString &service, const QString &serviceCode)
{
    const CourierTable &t = courierTable();
    if (const auto s = t.back.constFind(service); s != t.back.constEnd())
        return s->value(serviceCode);
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
        // The body as it came (the window's GET hands every body over as
        // 200); an error page is no answer, whatever it holds.
        if (answer.answered && (answer.status < 200 || answer.status > 299)) {
            TrackingReading r;
            r.kind = TrackingReading::Unreadable;
            return r;
        }
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
