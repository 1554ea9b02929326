#pragma once
// What the Store's files share: statement helpers and the kept texts'
// formats. Only src/store includes this.
#include "store/Records.h"
#include "store/Sql.h"

#include <QList>

#include <QString>

// A statement q on this Store's connection, prepared with sql.
#define STORE_QUERY(sql)                                                                                     \
    SqlQuery q(*conn);                                                    \
    q.prepare(QStringLiteral(sql))

namespace storesql {
inline QString likePattern(const QString &text)
{
    return QLatin1Char('%') + text + QLatin1Char('%');
}

// Kept times: local, as the tables hold them.
inline const QString TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// A parcel's kept events as the progress table holds them: JSON
// [[time, context], ...], newest first.
QString eventsJson(const QList<KeptEvent> &events);
QList<KeptEvent> eventsFrom(const QString &json);
} // namespace storesql
