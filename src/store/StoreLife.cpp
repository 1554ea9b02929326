// What a parcel gains after the road: its pickup code, picked up, archived
// and the reminders given, in parcel_life beside the book's own tables.
#include "book/Stage.h"
#include "store/Store.h"
#include "store/StoreSql.h"
#include "tracking/Progress.h"

#include <QRegularExpression>
#include <QVariant>

using storesql::TimeFormat;

Status bookRowStatus(const BookRow &row)
{
    if (!row.life.picked.isEmpty())
        return Status::PickedUp;
    if (row.queried.isEmpty())
        return Status::Unknown;
    return row.status;
}

QString pickupDoubtOf(Store &db, const PickupMessage &message, const PickupCandidate &parcel)
{
    const std::optional<BookRow> row = db.bookRow(parcel.id);
    if (!row)
        return QString();
    const bool waits = bookRowStatus(*row) == Status::AtStation;
    return pickupDoubt(message, parcel, row->life.code,
                       waits ? pickupStationOf(row->newest.context).station : QString());
}

std::optional<ParcelLife> Store::lifeOf(qint64 id)
{
    SqlQuery q(*conn);
    q.prepare(QStringLiteral("select code, picked, archived, told from parcel_life where id=?"));
    q.addBindValue(id);
    if (!run(q))
        return std::nullopt;
    if (!q.next())
        return ParcelLife{};
    return ParcelLife{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString()};
}

bool Store::writeLife(qint64 id, const char *column, const QString &value)
{
    // column is one of the fixed names of the callers below, never the user's.
    SqlQuery q(*conn);
    q.prepare(QStringLiteral("insert into parcel_life (id, %1) select ?, ? where exists"
                             " (select 1 from kd100 where id=?) on conflict(id) do update set %1=excluded.%1")
                  .arg(QLatin1String(column)));
    q.addBindValue(id);
    // A null text would be bound as NULL: the columns hold '' for "not so".
    q.addBindValue(value.isNull() ? QStringLiteral("") : value);
    q.addBindValue(id);
    return runOnOneRow(q);
}

bool Store::setPickupCode(qint64 id, const QString &code)
{
    return writeLife(id, "code", code.trimmed());
}

bool Store::setPicked(qint64 id, const QDateTime &when)
{
    return writeLife(id, "picked", when.isValid() ? when.toString(TimeFormat) : QString());
}

bool Store::setArchived(qint64 id, const QDateTime &when)
{
    return writeLife(id, "archived", when.isValid() ? when.toString(TimeFormat) : QString());
}

bool Store::setTold(qint64 id, const QString &told)
{
    return writeLife(id, "told", told);
}

namespace {
// Enough for every kind of reminder of a parcel many times over; the told
// column never grows with the days a parcel waits.
constexpr int MaxToldKeys = 16;
} // namespace

bool toldHas(const QString &told, const QString &key)
{
    return told.split(QLatin1Char('\n'), Qt::SkipEmptyParts).contains(key);
}

QString toldWith(const QString &told, const QString &key)
{
    QStringList keys = told.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (keys.contains(key))
        return told;
    // "kind:yyyy-MM-dd": a reminder of the day; only today's is kept.
    static const QRegularExpression daily(QStringLiteral("^([a-z]+:)\\d{4}-\\d{2}-\\d{2}$"));
    const QRegularExpressionMatch m = daily.match(key);
    if (m.hasMatch())
        keys.removeIf([&](const QString &k) { return k.startsWith(m.captured(1)) && daily.match(k).hasMatch(); });
    keys.append(key);
    while (keys.size() > MaxToldKeys)
        keys.removeFirst();
    return keys.join(QLatin1Char('\n'));
}

std::optional<QList<Store::ToldRow>> Store::claimTold(const std::function<QString(const BookRow &)> &due)
{
    QList<ToldRow> told;
    // The write lock from the start: the told keys read here cannot be
    // changed by another program before this one adds to them.
    const bool ok = inWriteTransaction([&] {
        const QList<BookRow> rows = book(Shelf::Active);
        if (!lastError.isEmpty())
            return false;
        for (const BookRow &r : rows) {
            const QString key = due(r);
            if (key.isEmpty() || toldHas(r.life.told, key))
                continue;
            if (!writeLife(r.parcel.id, "told", toldWith(r.life.told, key)))
                return false;
            told.append({r, key});
        }
        return true;
    });
    if (!ok)
        return std::nullopt;
    return told;
}

const char *const Store::AutoArchiveKey = "auto_archive";

int Store::autoArchive(const QDateTime &now)
{
    if (watchSetting(QString::fromLatin1(AutoArchiveKey)) != QStringLiteral("是"))
        return 0;
    return archiveSignedBefore(now.addDays(-AutoArchiveDays), now).value_or(0);
}

std::optional<int> Store::archiveSignedBefore(const QDateTime &cutoff, const QDateTime &now)
{
    const QList<BookRow> rows = book(Shelf::Active);
    if (!lastError.isEmpty())
        return std::nullopt;
    int archived = 0;
    for (const BookRow &r : rows) {
        const Status status = bookRowStatus(r);
        QString since;
        if (status == Status::PickedUp)
            since = r.life.picked;
        else if (status == Status::Signed)
            since = r.newest.time;
        else
            continue;
        const std::optional<QDateTime> at = parseEventTime(since);
        if (!at || *at >= cutoff)
            continue;
        if (!setArchived(r.parcel.id, now))
            return std::nullopt;
        ++archived;
    }
    return archived;
}
