// What the book watch keeps: whom to ask, each parcel's phone digits and
// its service's pace, and the watch's own settings.
#include "store/Store.h"
#include "store/StoreSql.h"

#include <QVariant>

QList<WatchTarget> Store::watchTargets()
{
    // The courier code as choosing the parcel finds it: the first row of
    // that name.
    STORE_QUERY("select k.id, k.number, k.goods, k.company, k.num,"
                " (select code from list where name=k.company order by id limit 1),"
                " f.digits, s.answered, s.held_until"
                " from kd100 k left join progress p on p.id=k.id"
                " left join phone f on f.id=k.id left join service_pace s on s.id=k.id"
                " where (p.id is null or p.state<>?) and not exists (select 1 from parcel_life l"
                " where l.id=k.id and (l.archived<>'' or l.picked<>'')) order by k.id");
    q.addBindValue(statusCode(Status::Signed));
    q.setForwardOnly(true);
    QList<WatchTarget> out;
    if (!run(q))
        return out;
    while (q.next())
        out.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                    q.value(3).toString(), q.value(4).toString(), q.value(5).toString(), q.value(6).toString(),
                    q.value(7).toLongLong(), q.value(8).toLongLong()});
    return out;
}

bool Store::notePaces(const QList<PaceNote> &notes)
{
    return inTransaction([&] {
        for (const PaceNote &n : notes)
            if (!notePace(n.id, n.answeredMs, n.heldUntilMs))
                return false;
        return true;
    });
}

QString Store::phoneOf(qint64 id)
{
    STORE_QUERY("select digits from phone where id=?");
    q.addBindValue(id);
    if (!run(q) || !q.next())
        return QString();
    return q.value(0).toString();
}

bool Store::setPhone(qint64 id, const QString &digits)
{
    if (digits.isEmpty()) {
        STORE_QUERY("delete from phone where id=?");
        q.addBindValue(id);
        return run(q);
    }
    STORE_QUERY("insert or replace into phone (id, digits) select ?, ? where exists (select 1 from kd100 where id=?)");
    q.addBindValue(id);
    q.addBindValue(digits);
    q.addBindValue(id);
    return runOnOneRow(q);
}

bool Store::notePace(qint64 id, qint64 answeredMs, qint64 heldUntilMs)
{
    STORE_QUERY("insert or replace into service_pace (id, answered, held_until)"
                " select ?, ?, ? where exists (select 1 from kd100 where id=?)");
    q.addBindValue(id);
    q.addBindValue(answeredMs);
    q.addBindValue(heldUntilMs);
    q.addBindValue(id);
    return run(q);
}

Store::PaceNote Store::paceOf(qint64 id)
{
    STORE_QUERY("select answered, held_until from service_pace where id=?");
    q.addBindValue(id);
    if (!run(q) || !q.next())
        return PaceNote{id, 0, 0};
    return PaceNote{id, q.value(0).toLongLong(), q.value(1).toLongLong()};
}

QString Store::watchSetting(const QString &key, const QString &fallback)
{
    STORE_QUERY("select value from watch_setting where key=?");
    q.addBindValue(key);
    if (!run(q) || !q.next())
        return fallback;
    return q.value(0).toString();
}

bool Store::writeWatchSetting(const QString &key, const QString &value)
{
    STORE_QUERY("insert or replace into watch_setting (key, value) values (?, ?)");
    q.addBindValue(key);
    q.addBindValue(value);
    return run(q);
}

bool Store::writeWatchSettings(const QList<QPair<QString, QString>> &pairs)
{
    if (pairs.isEmpty())
        return true;
    return inTransaction([&] {
        for (const auto &[key, value] : pairs)
            if (!writeWatchSetting(key, value))
                return false;
        return true;
    });
}
