#pragma once
// What a tracking reply says, read once, for every place that keeps or
// compares progress: the shown parcel's query, the add panel's and the
// book watch's.
#include "store/Records.h"
#include "tracking/Progress.h"
#include "tracking/Status.h"

#include <QPair>

// The result code is classified by readReply, as the shown parcel's query
// and the add panel's read it; this adds the events of a successful reply.
struct TrackingReading {
    enum Kind {
        NoAnswer,   // empty body
        Unreadable, // no result code, or one that is not a number
        Failure,    // a non-zero result code (the unknown number among them)
        NoEvents,   // code 0 without a single complete event
        Events,     // code 0 with events: the only kind worth keeping
    };
    Kind kind = NoAnswer;
    ReplyReading reply;           // the result code as read, for every kind but NoAnswer
    QList<ProgressEntry> entries; // newest first, as the display shows them
    Status status = Status::Unknown; // Events and NoEvents: where the parcel stands
    // What a failure is, where the service tells (Failure only).
    // Awaiting: registered, the service has not found the number yet (it is
    // kept, never offered for deletion). Refused: the service will not take
    // the number as it stands (told by meaning in reply.message).
    enum Trouble { NoTrouble, WrongKey, PhoneNeeded, Quota, NotCovered, Awaiting, Refused };
    Trouble trouble = NoTrouble;
    // How long a refusal lasts beyond retryAt: until the number or its
    // courier is edited, or until the next month (a spent monthly quota).
    enum Lasting { Passing, UntilEdited, UntilNextMonth };
    Lasting lasting = Passing;
    int serviceCode = 0; // the service's own code of a failure, where it gives one
    QString number;      // the number the answer names, empty when it names none
    QString carrier;     // the service's own code of the carrier it names (17track)
    QDateTime retryAt;        // Quota: not to be asked before this
    bool accountWide = false; // Quota: the whole account is out, not this number
    bool needsPrelude = false; // ask the service's prelude once, then again
};

// Reads the reply as the display does: as many events as the reply's count
// of "time" allows (held in 16 bits), the status by the written words.
TrackingReading readTrackingReply(const QString &body);

// The kept form of a reply with events, queried at the given time.
KeptProgress keptProgressOf(qint64 id, const TrackingReading &reading, const QDateTime &queried);

// The time under way as the display tells it: a signed parcel from its
// first to its last event, any other from its first event to now.
QString transitText(const QList<KeptEvent> &events, Status status, const QDateTime &now);

// A reply body decoded by the character set its Content-Type names; UTF-8
// when it names none or one that cannot be decoded.
QString decodeReplyBody(const QByteArray &body, const QByteArray &contentType);

struct Config;
// The tracking request for one number with the courier's code. Key order
// and the doubled id (account first, API key last) are what the service
// expects.
QString trackingUrlOf(const Config &cfg, const QString &code, const QString &number);
