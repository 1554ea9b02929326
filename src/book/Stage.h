#pragma once
// Where a parcel is in its life after the road, beside the written state:
// waiting at a station, in trouble, picked up. Read from the service's own
// state where it gives one, else from the words of the newest event.
#include "tracking/ServiceState.h"
#include <QList>
#include <QString>
#include <optional>

enum class Stage {
    Unknown,        // never queried
    InTransit,      // 运送中
    OutForDelivery, // 派件中
    AtStation,      // 待取件
    Signed,         // 已签收
    Problem,        // 异常
    PickedUp,       // 已取件 (the user said so)
};
QString stageText(Stage stage);
// The same in the user's language, for the window and the commands' text.
QString shownStage(Stage stage);

// " (待取件)" or " (异常)" after a parcel's name in a notification, where
// the stage asks something of the user; else empty.
QString noticeStageNote(Stage stage);

// The service's state decides when it gives one; otherwise the newest
// event's words. A parcel the user marked picked up stays 已取件.
Stage stageOf(ServiceState service, const QString &newestContext, bool pickedUp = false);
Stage stageFromWords(const QString &newestContext);

// How a service state is kept in the database, and read back (None for any
// text this program does not know).
QString serviceStateName(ServiceState state);
ServiceState serviceStateFromName(const QString &name);

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
    Stage stage = Stage::Unknown;
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
