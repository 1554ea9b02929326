// Kept progress (progress) and the news told of it.
#include "store/Store.h"
#include "store/StoreSql.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVariant>

using storesql::eventsFrom;
using storesql::eventsJson;
using storesql::TimeFormat;

namespace storesql {
QString eventsJson(const QList<KeptEvent> &events)
{
    QJsonArray out;
    for (const KeptEvent &e : events)
        out.append(QJsonArray{e.time, e.context});
    return QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact));
}

QList<KeptEvent> eventsFrom(const QString &json)
{
    QList<KeptEvent> out;
    const QJsonArray rows = QJsonDocument::fromJson(json.toUtf8()).array();
    for (const QJsonValue &row : rows) {
        const QJsonArray pair = row.toArray();
        if (pair.size() == 2)
            out.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    return out;
}
} // namespace storesql

bool Store::saveProgress(const KeptProgress &p)
{
    STORE_QUERY("insert or replace into progress (id, events, queried, state, unseen) "
                "select ?, ?, ?, ?, ? where exists (select 1 from kd100 where id=?)");
    q.addBindValue(p.id);
    q.addBindValue(eventsJson(p.events));
    q.addBindValue(p.queried.toString(TimeFormat));
    const QString code = statusCode(p.status);
    q.addBindValue(code.isNull() ? QStringLiteral("") : code); // never NULL
    q.addBindValue(p.unseen ? 1 : 0);
    q.addBindValue(p.id);
    return runOnOneRow(q);
}

bool Store::saveNews(const KeptProgress &p, const QString &num)
{
    return inTransaction([&] {
        STORE_QUERY("update kd100 set num=? where id=?");
        q.addBindValue(num);
        q.addBindValue(p.id);
        return runOnOneRow(q) && saveProgress(p);
    });
}

Store::Kept Store::keepAnswer(const KeptProgress &p, const QString &number, const QString &company, int count,
                              bool isSigned)
{
    Kept kept = Kept::Failed;
    const bool ok = inWriteTransaction([&] {
        STORE_QUERY("select number, company, num from kd100 where id=?");
        q.addBindValue(p.id);
        if (!run(q))
            return false;
        if (!q.next()) {
            kept = Kept::Gone;
            return true;
        }
        if (q.value(0).toString() != number || q.value(1).toString() != company) {
            // Asked for a number the row no longer holds: not its progress.
            kept = Kept::Changed;
            return true;
        }
        const QString num = q.value(2).toString();
        q.finish();
        // Picked up or archived while the answer was on its way: kept, and
        // its count too, but nothing is news of a parcel the user put away.
        q.prepare(QStringLiteral("select 1 from parcel_life where id=? and (picked<>'' or archived<>'')"));
        q.addBindValue(p.id);
        if (!run(q))
            return false;
        const bool putAway = q.next();
        q.finish();
        bool isNumber = false;
        double stored = num.trimmed().toDouble(&isNumber);
        if (!isNumber)
            stored = 0;
        // As change detection counts it: no stored count is no news.
        KeptProgress progress = p;
        const bool grew = !num.isEmpty() && stored < count;
        auto storeCount = [&] {
            SqlQuery up(*conn);
            up.prepare(QStringLiteral("update kd100 set num=? where id=?"));
            up.addBindValue(QString::number(count));
            up.addBindValue(p.id);
            return runOnOneRow(up);
        };
        if (putAway) {
            const auto before = progressOf(p.id);
            progress.unseen = before && before->unseen;
            if ((grew && !storeCount()) || !saveProgress(progress))
                return false;
            kept = Kept::Stored;
            return true;
        }
        if (grew && !isSigned) {
            progress.unseen = true;
            if (!storeCount() || !saveProgress(progress))
                return false;
            kept = Kept::News;
            return true;
        }
        // News not looked at yet stays news until the parcel is shown.
        const auto before = progressOf(p.id);
        // Signed now, not before: the delivery is news, once. A parcel never
        // kept turned signed when its count grew, as other news is counted.
        const bool turned =
            isSigned && (before ? before->status != Status::Signed : !num.isEmpty() && stored < count);
        if (turned) {
            progress.unseen = true;
            // The stored count only ever grows, as change detection keeps it.
            if (((num.isEmpty() || stored < count) && !storeCount()) || !saveProgress(progress))
                return false;
            kept = Kept::Delivered;
            return true;
        }
        progress.unseen = before && before->unseen;
        if (!saveProgress(progress))
            return false;
        kept = Kept::Stored;
        return true;
    });
    return ok ? kept : Kept::Failed;
}

Store::Claim Store::claimNews(qint64 id, int count)
{
    // One statement: of two queries that saw the same news, one raises the
    // count and tells it; the other finds it raised.
    STORE_QUERY("update kd100 set num=? where id=? and cast(num as real) < ?");
    q.addBindValue(QString::number(count));
    q.addBindValue(id);
    q.addBindValue(count);
    if (!run(q))
        return Claim::Failed;
    return q.numRowsAffected() > 0 ? Claim::Claimed : Claim::AlreadyTold;
}

std::optional<KeptProgress> Store::progressOf(qint64 key)
{
    STORE_QUERY("select events, queried, state, unseen from progress where id=?");
    q.addBindValue(key);
    if (!run(q) || !q.next())
        return std::nullopt;
    KeptProgress p;
    p.id = key;
    p.events = eventsFrom(q.value(0).toString());
    p.queried = QDateTime::fromString(q.value(1).toString(), TimeFormat);
    p.status = statusFromCode(q.value(2).toString());
    p.unseen = q.value(3).toInt() != 0;
    return p;
}

bool Store::resetParcel(qint64 key)
{
    return inTransaction([&] {
        STORE_QUERY("update kd100 set num='0' where id=?");
        q.addBindValue(key);
        if (!run(q))
            return false;
        SqlQuery del(*conn);
        del.prepare(QStringLiteral("delete from progress where id=?"));
        del.addBindValue(key);
        return run(del);
    });
}

bool Store::markSeen(qint64 id)
{
    STORE_QUERY("update progress set unseen=0 where id=? and unseen<>0");
    q.addBindValue(id);
    return run(q);
}

QHash<qint64, EntryState> Store::entryStates()
{
    QHash<qint64, EntryState> out;
    // Picked-up parcels may have no progress at all. Only parcels with
    // either are looked up, not every row of the book.
    STORE_QUERY("select k.id, p.state, p.unseen, l.picked from kd100 k left join progress p on p.id=k.id"
                " left join parcel_life l on l.id=k.id"
                " where k.id in (select id from progress union select id from parcel_life where picked<>'')");
    q.setForwardOnly(true);
    if (!run(q))
        return out;
    while (q.next()) {
        const bool picked = !q.value(3).toString().isEmpty();
        const EntryState st{picked ? Status::PickedUp : statusFromCode(q.value(1).toString()),
                            q.value(2).toInt() != 0};
        if (st.unseen || st.status == Status::Signed || st.status == Status::AtStation ||
            st.status == Status::Problem || st.status == Status::PickedUp)
            out.insert(q.value(0).toLongLong(), st);
    }
    return out;
}
