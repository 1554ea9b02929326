#include "cli/NumberInput.h"
#include "app/Tr.h"
#include "cli/Commands.h"
#include "cli/Requests.h"
#include "tracking/Intake.h"
#include "tracking/RecognitionText.h"

#include <QRegularExpression>
#include <algorithm>

namespace cli {
namespace {
// No courier uses numbers anywhere near this long; a longer text is a
// mistake, and would only make an absurd request.
constexpr int MaxNumberLength = 40;

// Edits (insert, delete, replace) from one text to the other.
qsizetype editDistance(const QString &a, const QString &b)
{
    QList<qsizetype> row(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[j];
            row[j] = qMin(qMin(row[j] + 1, row[j - 1] + 1), diagonal + (a[i - 1] == b[j - 1] ? 0 : 1));
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The directory's names nearest to one it does not hold: those holding it
// (or held by it) or naming it by the service code, then those a few edits
// away; at most five.
QStringList closestCourierNames(const QList<CourierRecord> &couriers, const QString &name)
{
    // "快递" and the like end most names: compared without, 顺风 is near 顺丰
    // and far from 申通.
    static const QRegularExpression kind(QStringLiteral("(快递|速递|物流|快运|速运)$"));
    const QString wanted = name.trimmed();
    const QString core = QString(wanted).remove(kind).toLower();
    if (wanted.isEmpty())
        return {};
    QList<QPair<qsizetype, QString>> scored;
    for (const CourierRecord &r : couriers) {
        const QString other = QString(r.name).remove(kind).toLower();
        qsizetype score = editDistance(core, other);
        if (r.name.contains(wanted, Qt::CaseInsensitive) || wanted.contains(r.name, Qt::CaseInsensitive) ||
            r.code.compare(wanted, Qt::CaseInsensitive) == 0)
            score = 0;
        else if (core.isEmpty() || score > qMax<qsizetype>(1, qMin(core.size(), other.size()) / 2))
            continue;
        scored.append({score, r.name});
    }
    std::stable_sort(scored.begin(), scored.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList out;
    for (const auto &[score, n] : scored)
        if (out.size() < 5 && !out.contains(n))
            out << n;
    return out;
}
} // namespace

// The add panel's checks of a typed number: letters and digits only, as the
// message says.
std::optional<Failed> refusedNumber(const QString &number)
{
    auto usage = [](const QString &why) { return Failed{CommandStatus::Usage, why}; };
    if (number.isEmpty())
        return usage(Parcelio::tr("请输入快递单号!"));
    if (number.size() > MaxNumberLength)
        return usage(Parcelio::tr("单号不正确,请您检查! (超过 %1 个字符)").arg(MaxNumberLength));
    // Letters and digits, as the window takes them (顺丰, 圆通 and 极兔
    // numbers begin with letters); a number test would let "1.5e3" through.
    const bool plainNumber = std::all_of(number.cbegin(), number.cend(), [](QChar ch) {
        return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z'));
    });
    if (!plainNumber)
        return usage(Parcelio::tr("单号不正确,请您检查! (单号只能是字母和数字)"));
    return std::nullopt;
}

std::optional<CourierRecord> courierNamed(Context &c, const QString &name, Failed &why)
{
    const QList<CourierRecord> rows = c.store->couriersByName(name);
    if (!c.store->error().isEmpty()) {
        why = databaseFailed(*c.store);
        return std::nullopt;
    }
    if (rows.isEmpty()) {
        why = {CommandStatus::Usage, Parcelio::tr("没有名为「%1」的快递公司").arg(name)};
        const QStringList close = closestCourierNames(c.store->allCouriers(), name);
        if (!close.isEmpty())
            why.why += QStringLiteral("; ") + Parcelio::tr("最接近的: %1").arg(close.join(Parcelio::tr("、")));
        return std::nullopt;
    }
    return rows.first();
}

// The recognition service names the company, as the add panel asks it; for
// a pasted number, the chosen tracking service's own recognition where the
// recognition service names none.
std::optional<CourierRecord> recognised(Context &c, const QString &number, Failed &why, bool pasted)
{
    // Placed by its letters: no recognition spent on it.
    if (auto local = courierByPrefix(*c.store, number))
        return local;
    if (number.size() <= 9) {
        why = {CommandStatus::Usage, Parcelio::tr("单号太短,无法识别快递公司,请用 --company 指定")};
        return std::nullopt;
    }
    const Fetched f = fetch(c, recognitionUrl(c.cfg.recognitionHost, number));
    const std::optional<Failed> bad = noGoodAnswer(f, Parcelio::tr("单号识别服务"));
    RecognisedCourier r;
    if (pasted)
        r = courierOfPasted(*c.store, bad ? std::nullopt : std::optional<QString>(f.body), *c.service, number,
                            [&c](const ServiceRequest &request) { return exchange(c, request); });
    else if (!bad)
        r = courierOfRecognition(*c.store, f.body);
    if (bad && r.outcome != RecognisedCourier::Named && r.outcome != RecognisedCourier::DatabaseFailed) {
        why = *bad;
        return std::nullopt;
    }
    switch (r.outcome) {
    case RecognisedCourier::Named: return r.courier;
    case RecognisedCourier::Busy:
    case RecognisedCourier::Unreadable:
        why = {CommandStatus::ServiceFailed, Parcelio::tr("检测出错,请手动选择快递公司 (--company)")};
        break;
    case RecognisedCourier::NotInDirectory:
        why = {CommandStatus::Usage, Parcelio::tr("未找到对应快递,请用 --company 指定")};
        break;
    case RecognisedCourier::DatabaseFailed: why = databaseFailed(*c.store); break;
    }
    return std::nullopt;
}

// Four digits or none; a parcel's own when the option is not given.
std::optional<Failed> phoneOption(Context &c, QString &phone)
{
    if (!c.parser.isSet(PhoneOption))
        return std::nullopt;
    phone = c.parser.value(PhoneOption).trimmed();
    if (!isPhoneDigits(phone))
        return Failed{CommandStatus::Usage, Parcelio::tr("--phone 要是手机号后四位数字")};
    return std::nullopt;
}
} // namespace cli
