#pragma once
// Reading the whole book back, as the tests check what was saved.
#include "store/Store.h"

#include <QList>

// Every saved parcel, archived ones too, in the order of their ids; empty
// when the statement failed.
inline QList<ParcelRecord> allParcels(Store &store)
{
    QList<ParcelRecord> out;
    for (const BookRow &row : store.book(Store::Shelf::All))
        out.append(row.parcel);
    return out;
}
