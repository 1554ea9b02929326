#include "tracking/Status.h"
#include "app/Tr.h"
#include "tracking/Progress.h"

#include <QRegularExpression>
#include <algorithm>

namespace {
struct StatusName {
    Status status;
    const char *code;
};
const StatusName Codes[] = {
    {Status::NoEvents, "none"},        {Status::LabelMade, "label"},     {Status::Collected, "collected"},
    {Status::InTransit, "transit"},    {Status::OutForDelivery, "delivery"}, {Status::AtStation, "station"},
    {Status::Signed, "signed"},        {Status::Problem, "problem"},     {Status::PickedUp, "picked"},
    {Status::Archived, "archived"},
};

// The words an older book kept in its state column.
const StatusName OldWords[] = {
    {Status::Signed, "已签收"},  {Status::OutForDelivery, "派件中"}, {Status::InTransit, "运送中"},
    {Status::AtStation, "待取件"}, {Status::Problem, "问题件"},      {Status::Problem, "异常"},
    {Status::PickedUp, "已取件"},
};

bool hasAny(const QString &text, std::initializer_list<const char *> words)
{
    for (const char *w : words)
        if (text.contains(QString::fromUtf8(w)))
            return true;
    return false;
}

// "如有疑问请联系…", "如遇异常…": advice the courier appends to ordinary
// events, not a word about this parcel.
QString withoutAdvice(const QString &text)
{
    static const QRegularExpression advice(QStringLiteral("(如有|如遇|若有|若遇|如您有)[^,，。;；!！]*"));
    return QString(text).remove(advice);
}

// A stage finer than the road that the newest event's words show alone;
// Unknown when they show none.
Status finerFromWords(const QString &newest)
{
    const QString text = withoutAdvice(newest);
    if (hasAny(text, {"拒收", "拒签", "退回", "退件", "退货", "返回寄件", "滞留", "破损", "丢失", "遗失",
                      "无法派送", "无法投递", "派送不成功", "派送失败", "投递失败", "疑难", "问题件", "异常",
                      "地址不详", "超区"}))
        return Status::Problem;
    // Taken out of a station or locker: signed for, though station words remain.
    // "已从丰巢智能柜取出" says it was taken; "请及时取出" asks for it.
    static const QRegularExpression takenFrom(QStringLiteral("已(从|由|在)[^,，。;；!！请]*(取出|取走)"));
    if (hasAny(text, {"凭取货码签收", "凭取件码签收", "已取件", "已取出", "已被取走", "取件成功"}) ||
        text.contains(takenFrom))
        return Status::Signed;
    if (hasAny(text, {"代收", "驿站", "快递柜", "丰巢", "请及时取件", "待取件", "智能柜", "自提", "取件码",
                      "取货码", "快递超市"}))
        return Status::AtStation;
    return Status::Unknown;
}
} // namespace

QString statusCode(Status status)
{
    for (const StatusName &s : Codes)
        if (s.status == status)
            return QString::fromLatin1(s.code);
    return QString();
}

Status statusFromCode(const QString &code)
{
    for (const StatusName &s : Codes)
        if (code == QLatin1String(s.code))
            return s.status;
    for (const StatusName &s : OldWords)
        if (code == QString::fromUtf8(s.code))
            return s.status;
    return Status::Unknown;
}

QString stateWords(Status status)
{
    switch (status) {
    case Status::Unknown:
    case Status::PickedUp:
    case Status::Archived: return QString();
    case Status::Signed: return QStringLiteral("已签收");
    case Status::OutForDelivery: return QStringLiteral("派件中");
    case Status::AtStation: return QStringLiteral("待取件");
    case Status::Problem: return QStringLiteral("问题件");
    case Status::NoEvents:
    case Status::LabelMade:
    case Status::Collected:
    case Status::InTransit: break;
    }
    return QStringLiteral("运送中");
}

QString stageWords(Status status)
{
    switch (status) {
    case Status::Unknown:
    case Status::Archived: return QString();
    case Status::Signed: return QStringLiteral("已签收");
    case Status::OutForDelivery: return QStringLiteral("派件中");
    case Status::AtStation: return QStringLiteral("待取件");
    case Status::Problem: return QStringLiteral("异常");
    case Status::PickedUp: return QStringLiteral("已取件");
    case Status::NoEvents:
    case Status::LabelMade:
    case Status::Collected:
    case Status::InTransit: break;
    }
    return QStringLiteral("运送中");
}

QString shownStatus(Status status)
{
    switch (status) {
    case Status::Unknown: return QString();
    case Status::NoEvents: return Parcelio::tr("暂无轨迹");
    case Status::LabelMade: return Parcelio::tr("已下单");
    case Status::Collected: return Parcelio::tr("已揽收");
    case Status::InTransit: return Parcelio::tr("运送中");
    case Status::OutForDelivery: return Parcelio::tr("派件中");
    case Status::AtStation: return Parcelio::tr("待取件");
    case Status::Signed: return Parcelio::tr("已签收");
    case Status::Problem: return Parcelio::tr("异常");
    case Status::PickedUp: return Parcelio::tr("已取件");
    case Status::Archived: return Parcelio::tr("已归档");
    }
    return QString();
}

QString noticeStatusNote(Status status)
{
    if (status != Status::Signed && status != Status::AtStation && status != Status::Problem)
        return QString();
    return QStringLiteral(" (%1)").arg(shownStatus(status));
}

Status writtenStatus(const QString &newest, const QString &second)
{
    auto any = [&](std::initializer_list<const char *> words) {
        return hasAny(newest, words) || hasAny(second, words);
    };
    if (any({"签", "妥", "感谢"}))
        return Status::Signed;
    if (any({"派"}))
        return Status::OutForDelivery;
    return Status::InTransit;
}

Status statusFromWords(const QString &newest, const QString &second)
{
    if (newest.trimmed().isEmpty() && second.trimmed().isEmpty())
        return Status::NoEvents;
    const Status finer = finerFromWords(newest);
    // The written rule reads the texts as they are.
    return finer != Status::Unknown ? finer : writtenStatus(newest, second);
}

bool isCoarse(Status status)
{
    return status == Status::NoEvents || status == Status::LabelMade || status == Status::Collected ||
           status == Status::InTransit;
}

bool isUnderWay(Status status)
{
    return status != Status::Signed && status != Status::PickedUp && status != Status::Archived &&
           status != Status::Unknown;
}

bool isDelivered(Status status)
{
    return status == Status::Signed || status == Status::PickedUp;
}

Status decideStatus(const CodedStatus &coded, const QList<ProgressEntry> &entries)
{
    const QString newest = entries.isEmpty() ? QString() : entries.at(0).context;
    const QString second = entries.size() > 1 ? entries.at(1).context : QString();
    if (coded.status == Status::Unknown)
        return entries.isEmpty() ? Status::NoEvents : statusFromWords(newest, second);
    if (coded.specific || entries.isEmpty())
        return coded.status;
    // A coarse code: the newest event's words may say more.
    Status words = finerFromWords(newest);
    if (words == Status::Unknown) {
        const Status written = writtenStatus(withoutAdvice(newest), QString());
        if (written != Status::InTransit)
            words = written;
    }
    return words != Status::Unknown ? words : coded.status;
}

QList<qsizetype> orderNewestFirst(QList<ProgressEntry> &entries)
{
    QList<qsizetype> order(entries.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    QList<QDateTime> times;
    times.reserve(entries.size());
    for (const ProgressEntry &e : entries) {
        const std::optional<QDateTime> t = parseEventTime(e.time);
        if (!t)
            return order;
        times.append(*t);
    }
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return times[a] > times[b]; });
    QList<ProgressEntry> sorted;
    sorted.reserve(entries.size());
    for (qsizetype i : order) {
        sorted.append(entries.at(i));
        sorted.last().sequence = int(sorted.size());
    }
    entries = std::move(sorted);
    return order;
}
