#include "tracking/Reply.h"

#include "app/Config.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

TrackingReading readTrackingReply(const QString &body)
{
    TrackingReading r;
    if (body.isEmpty())
        return r;
    r.reply = readReply(body);
    if (r.reply.kind == ReplyReading::Unreadable) {
        r.kind = TrackingReading::Unreadable;
        return r;
    }
    if (r.reply.kind != ReplyReading::Success) {
        r.kind = TrackingReading::Failure;
        return r;
    }
    r.entries = progressEntries(body, qMin(32767, countTime(body)));
    if (r.entries.isEmpty()) {
        r.kind = TrackingReading::NoEvents;
        r.status = Status::NoEvents;
        return r;
    }
    r.kind = TrackingReading::Events;
    r.status = decideStatus(CodedStatus{}, r.entries);
    return r;
}

KeptProgress keptProgressOf(qint64 id, const TrackingReading &reading, const QDateTime &queried)
{
    KeptProgress p;
    p.id = id;
    p.queried = queried;
    p.status = reading.status;
    p.events.reserve(reading.entries.size());
    for (const ProgressEntry &e : reading.entries)
        p.events.append({e.time, e.context});
    return p;
}

QString transitText(const QList<KeptEvent> &events, Status status, const QDateTime &now)
{
    if (events.isEmpty())
        return durationText(0);
    const QString &oldest = events.last().time;
    return durationText(isDelivered(status) ? secondsBetween(oldest, events.first().time)
                                                     : secondsBetween(oldest, now));
}

QString decodeReplyBody(const QByteArray &body, const QByteArray &contentType)
{
    static const QRegularExpression charset(QStringLiteral("charset\\s*=\\s*\"?([^\";\\s]+)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto m = charset.match(QString::fromLatin1(contentType));
    if (m.hasMatch()) {
        QStringDecoder decoder(m.captured(1).toLatin1().constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromUtf8(body);
}

QString trackingUrlOf(const Config &cfg, const QString &code, const QString &number)
{
    auto enc = [](const QString &value) { return QString::fromLatin1(QUrl::toPercentEncoding(value)); };
    return QStringLiteral("http://") + cfg.trackingHost + QStringLiteral("/?id=") + enc(cfg.account) +
           QStringLiteral("&secret=") + enc(cfg.secret) + QStringLiteral("&com=") + enc(code) +
           QStringLiteral("&nu=") + enc(number) + QStringLiteral("&id=") + enc(cfg.key) +
           QStringLiteral("&type=json&ord=desc");
}
