// The book (kd100): its rows, listings and searches, adding, changing
// and deleting parcels.
#include "store/Store.h"
#include "store/StoreSql.h"

#include <QFileInfo>
#include <QSet>
#include <QVariant>
#include <sqlite3.h>

using storesql::likePattern;

namespace {
// The saved-parcel list, every parcel but the archived ones, read in three
// plain statements.
const char *const ArchivedIds = "select id from parcel_life where archived<>''";
const char *const BookSize = "select count(*) from kd100";
const char *const BookEntries = "select id, goods from kd100 order by id";
} // namespace

QList<ParcelRecord> Store::parcels(SqlQuery &q)
{
    QList<ParcelRecord> out;
    if (!run(q))
        return out;
    while (q.next()) {
        ParcelRecord r;
        r.id = q.value(QStringLiteral("id")).toLongLong();
        r.number = q.value(QStringLiteral("number")).toString();
        r.goods = q.value(QStringLiteral("goods")).toString();
        r.company = q.value(QStringLiteral("company")).toString();
        r.num = q.value(QStringLiteral("num")).toString();
        out << r;
    }
    return out;
}

QList<BookRow> Store::book(Shelf which)
{
    switch (which) {
    case Shelf::Active: return bookWhere(" where l.archived is null or l.archived=''");
    case Shelf::Archived: return bookWhere(" where l.archived<>''");
    case Shelf::All: break;
    }
    return bookWhere("");
}

std::optional<BookRow> Store::bookRow(qint64 id)
{
    const QList<BookRow> rows = bookWhere(" where k.id=?", id);
    if (!lastError.isEmpty() || rows.isEmpty())
        return std::nullopt;
    return rows.first();
}

QList<BookRow> Store::bookWhere(const char *shelf, const QVariant &bind)
{
    // Only the newest event is taken out of each kept list. A kept list
    // that is no JSON would fail the whole statement: its parcel is listed
    // as if nothing were kept.
    SqlQuery q(*conn);
    q.prepare(QStringLiteral("select k.id, k.number, k.goods, k.company, k.num, p.state, p.queried, p.unseen,"
                             " json_extract(p.events, '$[0][0]'), json_extract(p.events, '$[0][1]'),"
                             " l.code, l.picked, l.archived, l.told, f.digits"
                             " from kd100 k left join progress p on p.id=k.id and json_valid(p.events)"
                             " left join phone f on f.id=k.id"
                             " left join parcel_life l on l.id=k.id%1 order by k.id")
                  .arg(QLatin1String(shelf)));
    if (bind.isValid())
        q.addBindValue(bind);
    q.setForwardOnly(true);
    QList<BookRow> out;
    if (!run(q))
        return out;
    while (q.next()) {
        BookRow r;
        r.parcel = {q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString(),
                    q.value(3).toString(), q.value(4).toString()};
        r.status = statusFromCode(q.value(5).toString());
        r.queried = q.value(6).toString();
        r.unseen = q.value(7).toInt() != 0;
        r.newest = {q.value(8).toString(), q.value(9).toString()};
        r.life = {q.value(10).toString(), q.value(11).toString(), q.value(12).toString(), q.value(13).toString()};
        r.phone = q.value(14).toString();
        out.append(r);
    }
    return out;
}

QList<ParcelEntry> Store::entries(SqlQuery &q)
{
    QList<ParcelEntry> out;
    q.setForwardOnly(true);
    if (!run(q))
        return out;
    while (q.next())
        out << ParcelEntry{q.value(0).toLongLong(), q.value(1).toString()};
    return out;
}

EntryList Store::allEntries()
{
    // The whole book is read at every start: straight from the engine it
    // takes a fraction of what a row-by-row SqlQuery costs.
    if (sqlite3 *h = conn->handle())
        return allEntriesFrom(h);
    lastError = QStringLiteral("the database is not open");
    return EntryList();
}

EntryList Store::allEntriesFrom(sqlite3 *h)
{
    EntryList out;
    // The archived rows first (usually few), then one plain pass over the
    // book: a lookup in parcel_life for each of thousands of rows costs more
    // than the pass itself. The count sizes the list once, so that it is
    // not copied while it grows.
    QSet<qint64> archived;
    qsizetype total = 0;
    // One read for the three statements: a parcel archived by another
    // program in between is neither lost nor listed.
    int rc = sqlite3_exec(h, "savepoint book_entries", nullptr, nullptr, nullptr);
    for (const char *sql : {ArchivedIds, BookSize}) {
        if (rc != SQLITE_OK)
            break;
        sqlite3_stmt *stmt = nullptr;
        rc = sqlite3_prepare_v2(h, sql, -1, &stmt, nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
                if (sql == ArchivedIds)
                    archived.insert(sqlite3_column_int64(stmt, 0));
                else
                    total = qsizetype(sqlite3_column_int64(stmt, 0));
            }
        }
        sqlite3_finalize(stmt);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_stmt *stmt = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(h, BookEntries, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        out.reserve(std::max<qsizetype>(0, total - archived.size()));
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(stmt, 0);
            if (archived.contains(id))
                continue;
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1));
            out.appendUtf8(id, QByteArrayView(text, sqlite3_column_bytes(stmt, 1)));
        }
    }
    if (rc == SQLITE_DONE) {
        lastError.clear();
        out.squeeze();
    } else {
        lastError = QString::fromUtf8(sqlite3_errmsg(h));
        out = EntryList();
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(h, "release book_entries", nullptr, nullptr, nullptr);
    return out;
}

namespace {
// The condition of a search; only these fixed texts reach the statement.
QString searchCondition(ParcelField field, Match match)
{
    const QString column = field == ParcelField::Number ? QStringLiteral("number") : QStringLiteral("goods");
    return column + (match == Match::Exact ? QStringLiteral("=?") : QStringLiteral(" like ?"));
}
} // namespace

bool Store::changedElsewhere()
{
    // The engine's own counter: it moves with every commit of another
    // connection, and costs no read of the book.
    STORE_QUERY("pragma data_version");
    if (!run(q) || !q.next())
        return false;
    const qint64 now = q.value(0).toLongLong();
    const bool changed = dataVersion >= 0 && now != dataVersion;
    dataVersion = now;
    return changed;
}

SqlQuery Store::searchQuery(const char *columns, ParcelField field, Match match, const QString &text)
{
    SqlQuery q(*conn);
    q.prepare(QStringLiteral("select %1 from kd100 where %2 order by id")
                  .arg(QLatin1String(columns), searchCondition(field, match)));
    q.addBindValue(match == Match::Exact ? text : likePattern(text));
    return q;
}

std::optional<QList<ParcelEntry>> Store::findEntries(ParcelField field, Match match, const QString &text)
{
    SqlQuery q = searchQuery("id, goods", field, match, text);
    QList<ParcelEntry> rows = entries(q);
    return lastError.isEmpty() ? std::optional(rows) : std::nullopt;
}

std::optional<QList<ParcelRecord>> Store::findParcels(ParcelField field, Match match, const QString &text)
{
    SqlQuery q = searchQuery("*", field, match, text);
    QList<ParcelRecord> rows = parcels(q);
    return lastError.isEmpty() ? std::optional(rows) : std::nullopt;
}

RowLookup<ParcelRecord> Store::parcelById(qint64 id)
{
    STORE_QUERY("select * from kd100 where id=?");
    q.addBindValue(id);
    return lookupOf(parcels(q));
}

bool Store::deleteParcel(qint64 key)
{
    return inTransaction([&] {
        STORE_QUERY("delete from progress where id=?");
        q.addBindValue(key);
        if (!run(q))
            return false;
        for (const char *table : {"phone", "service_pace", "parcel_life"}) {
            SqlQuery side(*conn);
            side.prepare(QStringLiteral("delete from %1 where id=?").arg(QLatin1String(table)));
            side.addBindValue(key);
            if (!run(side))
                return false;
        }
        SqlQuery del(*conn);
        del.prepare(QStringLiteral("delete from kd100 where id=?"));
        del.addBindValue(key);
        return runOnOneRow(del);
    });
}

bool Store::deleteAllParcelsOnOwnConnection()
{
    bool ok = false;
    {
        SqlConnection db;
        if (!dbPath.isEmpty() && QFileInfo::exists(dbPath) && db.open(dbPath)) {
            SqlQuery q(db);
            // The parcels and their kept progress go together or not at all.
            ok = db.transaction() && q.exec(QStringLiteral("delete from progress")) &&
                 q.exec(QStringLiteral("delete from phone")) && q.exec(QStringLiteral("delete from service_pace")) &&
                 q.exec(QStringLiteral("delete from parcel_life")) &&
                 q.exec(QStringLiteral("delete from kd100")) && db.commit();
            lastError = ok ? QString() : q.lastError().text();
            if (!ok)
                db.rollback();
            q.finish();
            db.close();
        } else {
            lastError = db.lastError().text();
        }
    }
    return ok;
}

bool Store::updateParcel(qint64 key, const QString &company, const QString &goods, const QString &number,
                         const QString *phone)
{
    return inWriteTransaction([&] {
        // The count and progress kept belong to the number and courier they
        // were read for: another parcel starts afresh, as after the clear button.
        SqlQuery del(*conn);
        del.prepare(QStringLiteral("delete from progress where id=? and exists (select 1 from kd100 where "
                                   "id=? and (number is not ? or company is not ?))"));
        del.addBindValue(key);
        del.addBindValue(key);
        del.addBindValue(number);
        del.addBindValue(company);
        if (!run(del))
            return false;
        STORE_QUERY(
            "update kd100 set num=case when number is not ? or company is not ? then '0' else num end, "
            "company=?, goods=?, number=? where id=?");
        q.addBindValue(number);
        q.addBindValue(company);
        q.addBindValue(company);
        q.addBindValue(goods);
        q.addBindValue(number);
        q.addBindValue(key);
        return runOnOneRow(q) && (!phone || setPhone(key, *phone));
    });
}

std::optional<qint64> Store::addParcel(const QString &company, const QString &number, const QString &goods,
                                       const QString &num)
{
    STORE_QUERY("insert into kd100 (company, number, goods, num) values (?, ?, ?, ?)");
    q.addBindValue(company);
    q.addBindValue(number);
    q.addBindValue(goods);
    q.addBindValue(num);
    if (!run(q))
        return std::nullopt;
    return q.lastInsertId().toLongLong();
}

Store::Added Store::addParcelOnce(const QString &company, const QString &number, const QString &goods,
                                  const QString &num)
{
    Added added;
    const bool ok = inWriteTransaction([&] {
        STORE_QUERY("select id from kd100 where number=? order by id limit 1");
        q.addBindValue(number);
        if (!run(q))
            return false;
        if (q.next()) {
            added = {Added::AlreadySaved, q.value(0).toLongLong()};
            return true;
        }
        const std::optional<qint64> id = addParcel(company, number, goods, num);
        if (!id)
            return false;
        added = {Added::Saved, *id};
        return true;
    });
    return ok ? added : Added{};
}
