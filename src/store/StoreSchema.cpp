// The schema's steps beyond the tables every version has, and the upgrade
// of an older file.
#include "store/Store.h"
#include "store/StoreSql.h"
#include "tracking/Progress.h"

#include <QVariant>
#include <iterator>

using storesql::eventsFrom;

namespace {
// What version 1 adds beside the tables every version has: each parcel's
// last good progress and the book watch's settings.
const char *const SchemaV1[] = {
    "create table if not exists progress ("
    " id integer primary key," // kd100.id
    " events text not null,"   // JSON: [[time, context], ...], newest first
    " queried text not null,"  // yyyy-MM-dd hh:mm:ss, local time
    " state text not null default '',"
    " unseen integer not null default 0)",
    "create table if not exists watch_setting (key text primary key, value text not null default '')",
};

// What version 3 adds: the phone digits a parcel's service may ask for,
// and when each parcel's service last answered or asked to be left alone
// (milliseconds since the epoch), so that rounds keep the service's pace.
const char *const SchemaV3[] = {
    "create table if not exists phone (id integer primary key, digits text not null)",
    "create table if not exists service_pace ("
    " id integer primary key,"
    " answered integer not null default 0,"
    " held_until integer not null default 0)",
};

// What version 4 adds: what the user and the services add to a parcel
// after the road. One row per parcel that has any of it.
const char *const SchemaV4[] = {
    "create table if not exists parcel_life ("
    " id integer primary key,"             // kd100.id
    " service text not null default '',"   // the service's own state at the last good query
    " code text not null default '',"      // pickup code
    " picked text not null default '',"    // when the user marked it picked up
    " archived text not null default ''," // when it was archived
    " told text not null default '')",     // reminders already given
};

// What version 5 changes: the kept state becomes a status code ("signed",
// "station", ...) in place of the words shown; the words are turned into
// codes by convertStates() within the same transaction.
// 极兔, a courier the directory lacked, reaches older books here too (a new
// book's directory is still empty here: its seed brings 极兔 itself).
const char *const SchemaV5[] = {
    "update progress set state='' where state is null",
    "insert into list (name, code, shibie, \"call\") select '极兔速递', 'jtexpress', 'jtexpress', '956025'"
    " where exists (select 1 from list) and not exists (select 1 from list where code='jtexpress')",
};

// Each version's statements, oldest first. A file of version v gets every
// step above v, then user_version = SchemaVersion, in one transaction. A new
// version appends its own step; statements must be safe to run on a file
// that already has them (create ... if not exists).
struct SchemaStep {
    int version;
    const char *const *begin;
    const char *const *end;
};
const SchemaStep SchemaSteps[] = {
    {1, std::begin(SchemaV1), std::end(SchemaV1)},
    {3, std::begin(SchemaV3), std::end(SchemaV3)},
    {4, std::begin(SchemaV4), std::end(SchemaV4)},
    {5, std::begin(SchemaV5), std::end(SchemaV5)},
};
} // namespace

void parcelioResources()
{
    // The resources live in a static library, so they are registered by hand.
    Q_INIT_RESOURCE(resources);
}

Store::OpenResult Store::upgrade()
{
    SqlConnection &db = *conn;
    SqlQuery q(db);
    if (!q.exec(QStringLiteral("pragma user_version")) || !q.next()) {
        lastError = q.lastError().text();
        return OpenResult::Failed;
    }
    const int version = q.value(0).toInt();
    q.finish();
    if (version > SchemaVersion) {
        // Written by a newer program: changing it could lose what that one keeps.
        lastError = QStringLiteral("database schema %1 is newer than %2").arg(version).arg(SchemaVersion);
        return OpenResult::TooNew;
    }
    if (version == SchemaVersion)
        return OpenResult::Ok;
    // All or nothing: a crash half-way leaves the old file as it was.
    const bool ok = inTransaction([this, version] { return runSchemaSteps(version); });
    return ok ? OpenResult::Ok : OpenResult::Failed;
}

bool Store::runSchemaSteps(int fromVersion)
{
    for (const SchemaStep &step : SchemaSteps) {
        if (step.version <= fromVersion)
            continue;
        for (const char *const *stmt = step.begin; stmt != step.end; ++stmt)
            if (!runScript(QString::fromUtf8(*stmt)))
                return false;
        if (step.version == 5 && !convertStates())
            return false;
    }
    return runScript(QStringLiteral("pragma user_version = %1").arg(SchemaVersion));
}

bool Store::convertStates()
{
    SqlConnection &db = *conn;
    SqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("select p.id, p.state, p.events, l.service from progress p"
                               " left join parcel_life l on l.id=p.id"))) {
        lastError = q.lastError().text();
        return false;
    }
    QList<QPair<qint64, QString>> codes;
    while (q.next()) {
        const QString service = q.value(3).toString();
        CodedStatus coded;
        if (service == QLatin1String("station"))
            coded = {Status::AtStation, true};
        else if (service == QLatin1String("problem"))
            coded = {Status::Problem, true};
        else if (service == QLatin1String("signed"))
            coded = {Status::Signed, true};
        else if (service == QLatin1String("delivery"))
            coded = {Status::OutForDelivery, true};
        else if (service == QLatin1String("transit") || service == QLatin1String("notrace"))
            coded = {Status::InTransit, false};
        QList<ProgressEntry> entries;
        for (const KeptEvent &e : eventsFrom(q.value(2).toString()))
            entries.append({int(entries.size()) + 1, e.time, e.context});
        const Status status = entries.isEmpty() ? statusFromCode(q.value(1).toString()) : decideStatus(coded, entries);
        codes.append({q.value(0).toLongLong(), statusCode(status)});
    }
    q.finish();
    SqlQuery up(db);
    up.prepare(QStringLiteral("update progress set state=? where id=?"));
    for (const auto &c : codes) {
        up.addBindValue(c.second.isNull() ? QStringLiteral("") : c.second);
        up.addBindValue(c.first);
        if (!up.exec()) {
            lastError = up.lastError().text();
            return false;
        }
    }
    return true;
}
