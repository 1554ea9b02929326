// The courier directory (list) and the settings row (setting).
#include "store/SettingValues.h"
#include "store/Store.h"
#include "store/StoreSql.h"

#include <QVariant>

using storesql::likePattern;

QList<CourierRecord> Store::couriers(SqlQuery &q)
{
    QList<CourierRecord> out;
    if (!run(q))
        return out;
    while (q.next()) {
        CourierRecord r;
        r.id = q.value(QStringLiteral("id")).toLongLong();
        r.name = q.value(QStringLiteral("name")).toString();
        r.code = q.value(QStringLiteral("code")).toString();
        r.shibie = q.value(QStringLiteral("shibie")).toString();
        r.call = q.value(QStringLiteral("call")).toString();
        out << r;
    }
    return out;
}

const QStringList &Store::settingColumns()
{
    static const QStringList cols = [] {
        QStringList out;
        for (const SettingColumn &c : settingColumnTable())
            out << QString::fromUtf8(c.column);
        return out;
    }();
    return cols;
}

QList<CourierRecord> Store::allCouriers()
{
    STORE_QUERY("select * from list order by id");
    return couriers(q);
}

QList<CourierRecord> Store::couriersWhere(const char *column, const QString &value)
{
    SqlQuery q(*conn);
    q.prepare(QStringLiteral("select * from list where %1=? order by id").arg(QLatin1String(column)));
    q.addBindValue(value);
    return couriers(q);
}

QList<CourierRecord> Store::couriersByName(const QString &name)
{
    return couriersWhere("name", name);
}

QList<CourierRecord> Store::couriersByNameLike(const QString &text)
{
    STORE_QUERY("select * from list where name like ? order by id");
    q.addBindValue(likePattern(text));
    return couriers(q);
}

RowLookup<CourierRecord> Store::courierById(qint64 id)
{
    STORE_QUERY("select * from list where id=?");
    q.addBindValue(id);
    return lookupOf(couriers(q));
}

QList<CourierRecord> Store::couriersByRecognitionCode(const QString &comCode)
{
    return couriersWhere("shibie", comCode);
}

QList<CourierRecord> Store::couriersByCode(const QString &code)
{
    return couriersWhere("code", code);
}

std::optional<SettingsRecord> Store::settings()
{
    STORE_QUERY("select * from setting limit 1");
    if (!run(q) || !q.next())
        return std::nullopt;
    SettingsRecord s;
    for (const SettingColumn &c : settingColumnTable())
        s.*c.field = q.value(QString::fromUtf8(c.column)).toString();
    return s;
}

bool Store::writeSetting(const QString &column, const QString &value)
{
    if (!settingColumns().contains(column)) {
        lastError = QStringLiteral("unknown setting %1").arg(column);
        return false;
    }
    // The table has one row; every writer reaches it without a condition.
    // The column name comes from the fixed list above, never from the user.
    SqlQuery q(*conn);
    q.prepare(QStringLiteral("update setting set \"%1\"=?").arg(column));
    q.addBindValue(value);
    return run(q);
}
