#pragma once
// Where a parcel stands: one status for every part of the program, decided
// from what the service sent and kept as a short ASCII code. Words are made
// of it only where it is shown.
#include <QList>
#include <QString>

struct ProgressEntry;

enum class Status {
    Unknown,        // never queried: nothing kept
    NoEvents,       // the service knows the number, no event yet
    LabelMade,      // a label is made, not yet collected
    Collected,      // collected by the courier
    InTransit,      // under way
    OutForDelivery, // with the courier for delivery
    AtStation,      // waiting at a station or in a locker
    Signed,         // delivered and signed for
    Problem,        // refused, returned, stuck, damaged, lost, undeliverable
    PickedUp,       // the user marked it picked up
    Archived,       // the user archived it
};

// The kept code ("transit", "station", ...); empty for Unknown.
QString statusCode(Status status);
// The status a kept code names. The Chinese words an older book kept are
// read too; anything else is Unknown.
Status statusFromCode(const QString &code);

// The Chinese words of the three written states and the finer ones, as the
// commands' JSON "state" has always carried them: 已签收, 派件中, 运送中,
// 待取件, 问题件; empty for Unknown. Marks of the user are not states: a
// picked-up or archived parcel has none here.
QString stateWords(Status status);
// The status in the user's language, as the window and the commands show it.
QString shownStatus(Status status);
// Short words for the list and notifications: the stages the written
// design lacks (待取件, 异常, 已取件) and the others alike.
QString stageWords(Status status);

// " (已签收)", " (待取件)" or " (异常)" after a parcel's name in a
// notification, where the status is news to tell; else empty.
QString noticeStatusNote(Status status);

// The written rule of the display on the newest event and the one before it:
// 签, 妥 or 感谢 is signed, 派 out for delivery, anything else in transit.
Status writtenStatus(const QString &newest, const QString &second);
// What the newest event's own words show beyond the written rule: a problem,
// a parcel taken out of a station (signed), one waiting at a station; else
// the written rule on the newest two events.
Status statusFromWords(const QString &newest, const QString &second = QString());

// What a service's code says, and whether it is one that decides over the
// words (signed, problem, at a station, out for delivery) or a coarse one
// (collected, in transit, ...) that finer words refine.
struct CodedStatus {
    Status status = Status::Unknown; // Unknown: the service said nothing
    bool specific = false;
};
// The status of a reading: a specific code decides; a coarse one yields to
// a finer stage the newest event's words show; without a code the words
// decide. entries newest first; none gives NoEvents (or the coarse code).
Status decideStatus(const CodedStatus &coded, const QList<ProgressEntry> &entries);

// Finer than the stages a coarse code names: the words may refine these.
bool isCoarse(Status status);
// The status keeps a parcel on the road (not signed, picked up, archived).
bool isUnderWay(Status status);
// Signed, or taken out of a station by the user.
bool isDelivered(Status status);

// The events newest first by their time, whatever order a service sent them
// in; events whose time cannot be read keep their place relative to the
// others (the order is left as sent when any time is unreadable). Returns
// where each entry now in place stood before.
QList<qsizetype> orderNewestFirst(QList<ProgressEntry> &entries);
