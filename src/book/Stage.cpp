#include "book/Stage.h"
#include "app/Tr.h"

#include <QRegularExpression>

namespace {
// A station name as cut out of an event: brackets around the whole name
// go, a bracket left open is closed.
QString cleanStation(QString s)
{
    s = s.trimmed();
    if (s.startsWith(QStringLiteral("【")) && s.endsWith(QStringLiteral("】")) &&
        s.count(QStringLiteral("【")) == 1)
        s = s.mid(1, s.size() - 2);
    if (s.count(QStringLiteral("【")) > s.count(QStringLiteral("】")))
        s += QStringLiteral("】");
    return s.trimmed();
}

QString firstCapture(const QRegularExpression &re, const QString &text)
{
    const QRegularExpressionMatch m = re.match(text);
    return m.hasMatch() ? m.captured(1) : QString();
}
} // namespace

PickupStation pickupStationOf(const QString &context)
{
    PickupStation out;
    static const QRegularExpression byWhom(QStringLiteral("已(?:由|被)\\s*(.+?)\\s*代收"));
    static const QRegularExpression putInto(
        QStringLiteral("(?:放入|存放至|存放在|存放于|投递至|投递到|送达|到达|暂存至|暂存在|暂存于|投放至|放至|存入)"
                       "\\s*(.+?)\\s*(?:[,，。;；!！]|请|，|$)"));
    static const QRegularExpression bracketed(
        QStringLiteral("【([^】]*(?:驿站|快递柜|丰巢|自提|代收点|快递超市|智能柜)[^】]*)】"));
    static const QRegularExpression bare(
        QStringLiteral("([^,，。;；:：\\s【】]*(?:驿站|快递柜|丰巢柜|智能柜|自提点|代收点|快递超市))"));
    for (const QRegularExpression *re : {&byWhom, &putInto, &bracketed, &bare}) {
        const QString s = cleanStation(firstCapture(*re, context));
        if (!s.isEmpty()) {
            out.station = s;
            break;
        }
    }
    // A number given with "联系" or "电话" first; else the first one at all.
    static const QRegularExpression phone(
        QStringLiteral("(?<![0-9])(1[3-9][0-9]{9}|0[0-9]{2,3}-?[0-9]{7,8}|400-?[0-9]{3}-?[0-9]{4})(?![0-9])"));
    static const QRegularExpression named(QStringLiteral("(?:联系|电话|致电)"));
    const QRegularExpressionMatch after = named.match(context);
    const QRegularExpressionMatch m =
        after.hasMatch() ? phone.match(context, after.capturedEnd()) : QRegularExpressionMatch();
    out.phone = m.hasMatch() ? m.captured(1) : firstCapture(phone, context);
    return out;
}

PickupMessage readPickupMessage(const QString &text)
{
    PickupMessage out;
    static const QRegularExpression code(QStringLiteral(
        "(?:取件码|取货码|提货码|取件号|提货号|取件编号|凭|请用)\\s*(?:为|是|:|：)?\\s*"
        "([A-Za-z0-9]{1,6}(?:-[A-Za-z0-9]{1,8}){1,3}|[A-Za-z]?[0-9]{4,8})(?![A-Za-z0-9-])"));
    const QRegularExpressionMatch c = code.match(text);
    if (c.hasMatch())
        out.code = c.captured(1).toUpper();
    static const QRegularExpression tail(QStringLiteral(
        "(?:尾号|后四位|后4位|后六位|后6位)\\s*(?:为|是|:|：)?\\s*([A-Za-z0-9]{3,10})(?![A-Za-z0-9])"));
    static const QRegularExpression starred(QStringLiteral("\\*+\\s*([A-Za-z0-9]{3,10})(?![A-Za-z0-9])"));
    for (const QRegularExpression *re : {&tail, &starred}) {
        auto it = re->globalMatch(text);
        while (it.hasNext()) {
            const QString t = it.next().captured(1).toUpper();
            if (!out.tails.contains(t))
                out.tails.append(t);
        }
    }
    static const QRegularExpression whole(
        QStringLiteral("(?<![A-Za-z0-9*])([A-Za-z]{0,4}[0-9]{10,20})(?![A-Za-z0-9])"));
    auto it = whole.globalMatch(text);
    while (it.hasNext()) {
        const QString n = it.next().captured(1).toUpper();
        if (!out.numbers.contains(n))
            out.numbers.append(n);
    }
    // The place after "已到", not the brand in the sender's brackets.
    static const QRegularExpression arrived(
        QStringLiteral("(?:已到达|已送达|已到|到达|送至|放入|存放至|存放在|存放于|暂存至|暂存在|投递至|放至)"
                       "\\s*(.+?)\\s*(?:[,，。;；!！(（]|请|$)"));
    out.station = cleanStation(firstCapture(arrived, text));
    if (out.station.isEmpty()) {
        static const QRegularExpression bare(
            QStringLiteral("([^,，。;；:：\\s【】]+(?:驿站|快递柜|丰巢柜|智能柜|自提点|代收点|快递超市))"));
        out.station = cleanStation(firstCapture(bare, text));
    }
    return out;
}

bool messageNames(const PickupMessage &message, const QString &number)
{
    const QString n = number.trimmed().toUpper();
    if (n.isEmpty())
        return false;
    if (message.numbers.contains(n))
        return true;
    for (const QString &t : message.tails)
        if (n.endsWith(t))
            return true;
    return false;
}

QList<PickupCandidate> parcelsForMessage(const PickupMessage &message, const QList<PickupCandidate> &parcels)
{
    const bool namesAny = !message.tails.isEmpty() || !message.numbers.isEmpty();
    QList<PickupCandidate> named, waiting;
    for (const PickupCandidate &p : parcels) {
        if (namesAny ? messageNames(message, p.number) : p.status == Status::AtStation)
            named.append(p);
    }
    // Several named, one of them waiting at a station: that one is meant.
    if (named.size() > 1)
        for (const PickupCandidate &p : named)
            if (p.status == Status::AtStation)
                waiting.append(p);
    return waiting.size() == 1 ? waiting : named;
}

QString pickupDoubt(const PickupMessage &message, const PickupCandidate &parcel, const QString &keptCode,
                    const QString &station)
{
    QStringList doubts;
    if (!keptCode.isEmpty() && keptCode != message.code)
        doubts << Parcelio::tr("「%1」已有取件码%2").arg(parcel.goods, keptCode);
    // One name inside the other is the same place, told shorter.
    const auto bare = [](QString s) { return s.remove(QRegularExpression(QStringLiteral("[\\s【】]"))); };
    const QString said = bare(message.station);
    const QString kept = bare(station);
    if (!said.isEmpty() && !kept.isEmpty() && !said.contains(kept) && !kept.contains(said))
        doubts << Parcelio::tr("短信说的是「%1」, 「%2」在「%3」").arg(message.station, parcel.goods, station);
    return doubts.join(QStringLiteral("; "));
}
