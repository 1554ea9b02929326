#pragma once
// What the words of events and pickup messages tell of a parcel's life
// after the road: the station it waits at, the code a message gives.
#include "tracking/Status.h"
#include <QList>
#include <QString>
#include <optional>

// The station named in an event that leaves a parcel for pickup, and a
// telephone number given with it; empty where the text names none.
struct PickupStation {
    QString station;
    QString phone;
};
PickupStation pickupStationOf(const QString &context);

// What a pickup message says: the code, and how it names the parcel (the
// tail of its number, or the whole number). Empty code: none found.
struct PickupMessage {
    QString code;
    QStringList tails;   // "0059" of 尾号0059, "94650" of *94650
    QStringList numbers; // whole tracking numbers in the text
    QString station;     // where the message says the parcel waits, if it says
};
PickupMessage readPickupMessage(const QString &text);

// Whether a saved number is the one a message names.
bool messageNames(const PickupMessage &message, const QString &number);

// Which of the candidate parcels a message is about: every parcel it names
// by tail or number; when it names none, every parcel waiting at a station.
// Where several are named and exactly one of them waits at a station, that
// one.
struct PickupCandidate {
    qint64 id = 0;
    QString number;
    QString goods;
    Status status = Status::Unknown;
};
QList<PickupCandidate> parcelsForMessage(const PickupMessage &message, const QList<PickupCandidate> &parcels);

// What speaks against writing a message's code to the one parcel it was
// matched to: the parcel keeps another code, or waits at another station
// than the message names (the station of its newest event, empty unless it
// waits). Empty when nothing does.
QString pickupDoubt(const PickupMessage &message, const PickupCandidate &parcel, const QString &keptCode,
                    const QString &station);
// The same for a saved parcel, as the book keeps it.
class Store;
QString pickupDoubtOf(Store &db, const PickupMessage &message, const PickupCandidate &parcel);
