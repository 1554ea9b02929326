#pragma once
// A parcel's row as the commands print it: text columns and JSON.
#include "book/Stage.h"
#include "store/Records.h"
#include "store/Store.h"
#include "tracking/Client.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>

namespace cli {
QJsonArray eventsJson(const QList<KeptEvent> &events);
// Where a parcel waits: known while it waits or once picked up there.
PickupStation stationOf(const QString &newest, Status stage);
QJsonObject pickupJson(const PickupStation &at, const QString &code);
// Parcels as JSON on stdout, one object or a list, from one writer. The
// book's list writes every control character as \u00XX and the count in its
// shortest form, as it always has; single rows and the rows add - saved are
// written as QJsonDocument writes them.
enum class ParcelsJson { Book, Rows };
void printParcelJson(const BookRow &r);
void printParcelsJson(const QList<BookRow> &rows, ParcelsJson style = ParcelsJson::Book);
// The state column of list, in the user's language.
QString stateColumn(const BookRow &r);
// "[id] company number goods", as the commands name a saved parcel.
QString parcelLine(const ParcelRecord &p);
// A reading's events, newest first, as the book keeps them.
QList<KeptEvent> keptEvents(const TrackingReading &r);
} // namespace cli
