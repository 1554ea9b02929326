#pragma once
// The tracking service the settings choose. Every caller (the window's
// query, the add panel, the book watch, the commands) asks it for the
// request of a parcel and for the reading of the answer, so none of them
// knows which service it talks to.
#include "app/Tr.h"
#include "tracking/Reply.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QStringList>
#include <QUrl>
#include <memory>
#include <optional>

struct Config;

// What a query needs to know of a parcel.
struct ServiceAsk {
    QString code;   // the courier directory's code (list.code)
    QString number; // the tracking number
    QString phone;  // last four digits of a phone, empty when not given
};

// One HTTP request, or why none can be made.
struct ServiceRequest {
    QUrl url;
    bool post = false;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // Not empty: no request is made, the reading says this instead.
    TrackingReading refused;
};

// One HTTP answer as the services need it.
struct ServiceAnswer {
    bool answered = false; // false: no server replied in time
    int status = 0;
    QString body;          // decoded by its Content-Type
    QByteArray retryAfter; // the Retry-After header, raw
    QDateTime at;          // when it came (the caller's clock)
    QString refused;       // why a reply that came is no answer all the same
};

class TrackingService {
public:
    virtual ~TrackingService() = default;

    // The service the settings name; classic for an unknown name.
    static std::shared_ptr<const TrackingService> make(const Config &cfg);

    virtual QString name() const = 0;
    // The request for one parcel; refused when the service cannot follow the
    // courier or needs phone digits that the parcel lacks.
    virtual ServiceRequest request(const ServiceAsk &ask) const = 0;
    // A request to make once before asking again, when a reading says so
    // (needsPrelude); none for services that need none.
    virtual ServiceRequest prelude(const ServiceAsk &ask) const;
    // The answer read into events (newest first), status and failure: what
    // the window, the store and the commands take as it is.
    virtual TrackingReading read(const ServiceAnswer &answer) const = 0;
    // True when the courier needs phone digits to be followed at all.
    virtual bool needsPhone(const QString &code) const;
    // True when the service locks numbers asked too often: the rounds keep
    // the minimum interval for it.
    virtual bool paced() const { return false; }

    // How many parcels one request of a round may carry, as the service's
    // documents allow; 1 where each request asks one number.
    virtual int batchLimit() const { return 1; }
    // Why the parcel cannot be asked at all (as request() refuses it);
    // NoAnswer when it can.
    virtual TrackingReading refusal(const ServiceAsk &ask) const { return request(ask).refused; }
    // One request (or prelude) for parcels none of which is refused, at most
    // batchLimit() of them.
    virtual ServiceRequest batchRequest(const QList<ServiceAsk> &asks, bool prelude) const;
    // The answer to batchRequest read for each of its parcels, in order.
    virtual QList<TrackingReading> readBatch(const ServiceAnswer &answer, const QList<ServiceAsk> &asks) const;

    // True when the service finds a number's carrier itself: a number may be
    // asked without a courier.
    virtual bool findsCarrier() const { return false; }
    // True when a number must be registered (the prelude) before it is read.
    virtual bool registers() const { return false; }
    // The prelude's answer for each ask, in order: NoEvents when the number
    // is registered (or already was), a failure when refused (its lasting
    // says how long), NoAnswer or Unreadable when the answer told nothing.
    virtual QList<TrackingReading> readRegistration(const ServiceAnswer &answer, const QList<ServiceAsk> &asks) const;
    // Who asks (a fingerprint of the key or token): a refusal of the
    // account lasts until the settings name another.
    virtual QString account() const { return QString(); }

    // The service's own guess of a number's courier, asked where the
    // recognition service names none; none for a service that has no such
    // request (the classic one; 17track detects the carrier itself when a
    // number is registered, so it needs no courier from us).
    virtual std::optional<ServiceRequest> recognitionRequest(const QString &) const { return std::nullopt; }
    // The service's courier codes that answer names, likeliest first.
    virtual QStringList readRecognition(const ServiceAnswer &) const { return {}; }
};

// The failure texts that every service shares.
namespace ServiceText {
inline QString PhoneNeeded()
{
    return Parcelio::tr("需要寄件人或收件人手机号后四位");
}
inline QString WrongKey()
{
    return Parcelio::tr("查询服务账号或密钥错误");
}
inline QString Quota()
{
    return Parcelio::tr("查询过于频繁或次数已用完,请稍后再试");
}
inline QString NotCovered()
{
    return Parcelio::tr("当前查询服务不支持此快递公司");
}
inline QString Awaiting()
{
    return Parcelio::tr("已登记,等待查询服务的首次应答");
}
inline QString ForeignNumber()
{
    return Parcelio::tr("查询服务的应答是另一个单号的,未保存");
}
} // namespace ServiceText

// A 429 answer: the number (or the account) held until Retry-After says,
// fallbackSeconds without one.
TrackingReading quotaReading(const ServiceAnswer &answer, bool accountWide, int fallbackSeconds = 30 * 60);

// A failed reading of one of these kinds, with its message.
TrackingReading troubleReading(TrackingReading::Trouble trouble, const QString &message = QString());

// A reading with entries made one of events: ordered newest first by their
// time, its status decided from the service's code and the words.
TrackingReading eventsReading(TrackingReading reading, const CodedStatus &coded);

// Exactly four digits. Where a box may be left empty (no phone), its
// caller lets empty text through before asking.
bool isPhoneDigits(const QString &text);

// The request as it goes out (GET or POST with its headers).
struct HttpRequest;
struct HttpResult;
HttpRequest httpRequestOf(const ServiceRequest &request, qint64 maxBytes);
HttpRequest httpRequestOf(const ServiceRequest &request);

// The answer of an ended request, stamped with at. A body over its limit,
// a redirect to another host or a certificate not trusted is no answer
// (refused says why).
ServiceAnswer serviceAnswerOf(const HttpResult &result, const QDateTime &at);

// The Retry-After header (seconds or an HTTP date) as a moment after at;
// fallbackSeconds when missing or unreadable.
QDateTime retryMoment(const QByteArray &header, const QDateTime &at, int fallbackSeconds);

// The courier codes of each service, from the table shipped in the
// resources: for a directory code, the service's own code ("" when the
// service does not cover it) and whether phone digits are needed.
struct ServiceCourier {
    QString code;
    bool needsPhone = false;
    bool covered = false;
};
ServiceCourier serviceCourier(const QString &service, const QString &directoryCode);
// The other way: the directory code the table gives for a service's own
// code, empty when the table has none.
QString directoryCodeOf(const QString &service, const QString &serviceCode);

// The number as the services compare it: letters and digits, upper case.
QString numberKey(const QString &number);
