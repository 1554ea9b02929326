#pragma once
// Reading a tracking reply without a window: the result code, the events,
// the parcel state and the time under way. The reply is read by its key
// markers, as the service has always been read, not by a JSON parser.
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

struct ProgressEntry {
    int sequence = 0; // 1 for the newest event
    QString time;
    QString context;
};

// The characters after the n-th (1-based) occurrence of marker up to, not
// including, the next double quote; nothing when that occurrence or its
// closing quote is missing.
std::optional<QString> cutAfter(const QString &text, const QString &marker, int occurrence = 1);

// The result code: the text after errCode":" up to the next quote.
std::optional<QString> resultCode(const QString &reply);

// The status-line text of a failure code of the tracking service; empty for
// codes without one.
QString resultMessage(const QString &code);

// What a tracking reply says, read the same way for the shown parcel's query
// and for the add panel's.
struct ReplyReading {
    enum Kind {
        Unreadable,    // no result code, or one that is not a number
        Success,       // a code worth zero ("0", "0.0", " 0")
        UnknownNumber, // exactly "1": the service does not know the number
        Failure,       // any other number; message may be empty
    };
    Kind kind = Unreadable;
    QString code;    // the result code as sent, empty when there is none
    QString message; // Failure only: resultMessage(code)
};
ReplyReading readReply(const QString &reply);

// How many times the text "time" occurs (case-sensitive, overlapping allowed).
int countTime(const QString &reply);

// Every backslash-slash pair becomes one blank; no other escape is decoded.
QString replaceEscapedSlash(const QString &context);

// One entry per complete pair of time and context values, in reply order,
// at most limit entries.
QList<ProgressEntry> progressEntries(const QString &reply, int limit);

// A time text of the service read as a local date-time; accepts
// "yyyy-MM-dd hh:mm:ss" and the usual variants (slashes, single digits,
// no seconds, date only, a T between date and time).
std::optional<QDateTime> parseEventTime(const QString &text);
// The same text as the display writes it, "yyyy-MM-dd hh:mm:ss"; the text
// as it came when no time is read in it.
QString eventTimeText(const QString &text);

// Whole seconds split as days, hours and minutes, each truncated toward
// zero and keeping the sign: -150 s gives "0天0小时-2分".
QString durationText(qint64 seconds);
// Seconds from one time text to another moment; 0 when the text is unreadable.
qint64 secondsBetween(const QString &from, const QDateTime &to);
qint64 secondsBetween(const QString &from, const QString &to);
