#pragma once
// Reminders that matter, once: a parcel waiting at a station for days (one
// a day), a parcel that turns 异常, a parcel under way without a new event
// for days. Decided after each round of the book watch; each one given is
// kept among the parcel's told keys in the same step, so that two programs
// on one book never give it twice.
#include "store/Records.h"
#include "watch/Mail.h"

#include <QDateTime>
#include <QList>
#include <QSet>
#include <optional>

struct Config;
class Store;

struct Reminder {
    enum Kind { Station, Problem, Quiet };
    Kind kind = Station;
    qint64 id = 0;
    QString goods, number, company;
    int days = 0; // waiting at the station (Station), without a new event (Quiet)
    KeptEvent newest;
    QString key; // as kept among the told keys
};

// How many days make a reminder due; 0: never.
struct ReminderDays {
    int station = 2;
    int quiet = 5;
};
ReminderDays reminderDaysOf(const Config &cfg);

// The reminder a book row is due at now, whether told already or not:
// waiting at a station for more than days.station (its key names today),
// 异常 (its key names the newest event), under way with the newest event
// older than days.quiet (its key names that event). None for a parcel whose
// newest event is more than 30 days past that (for 异常: 30 days old).
std::optional<Reminder> dueReminder(const BookRow &row, const QDateTime &now, const ReminderDays &days);

// Decides and records every reminder due now over the active book, and
// returns those to tell. A parcel in newsIds had its news told this round,
// naming the event: its 异常 is recorded as told and not told again.
// Nothing when the store failed.
std::optional<QList<Reminder>> claimReminders(Store &store, const QDateTime &now, const ReminderDays &days,
                                              const QSet<qint64> &newsIds = {});

// The desktop notification's summary, the reminder in one sentence, and the
// notification's body (the sentence, then the newest event).
QString reminderSummary();
QString reminderText(const Reminder &r);
QString reminderNotice(const Reminder &r);
// The reminder mail to recipient, from the [mail] account.
OutgoingMail reminderMail(const Config &cfg, const QString &recipient, const Reminder &r, const QDateTime &sent);
