#pragma once
// The one tracking client: asks the service the settings choose, reads its
// answers, makes its prelude (17track's register) and keeps its refusals and
// holds. The window, the commands and the book watch differ only in how they
// wait for an answer, which they hand in.
#include "tracking/Service.h"

#include <functional>
#include <memory>

// How a caller waits: the window in its nested loop, the commands and the
// book watch with asynchronous requests. Either may call back at once.
struct ClientWaiting {
    // Sends one request; the answer is handed to the callback once it came
    // (or did not come in time: answered false).
    std::function<void(const ServiceRequest &, std::function<void(const ServiceAnswer &)>)> send;
    // Calls back after ms.
    std::function<void(int ms, std::function<void()>)> after;
    std::function<QDateTime()> clock;
};

// What the client remembers between queries (registrations and refusals),
// as keys and values: the book's watch settings, or a map in tests.
struct ClientMemory {
    std::function<QString(const QString &key)> get;
    std::function<void(const QString &key, const QString &value)> set;
    // Several at once (a batch's registrations), in one write where the
    // memory can; unset: one set() each.
    std::function<void(const QList<QPair<QString, QString>> &)> setMany;
};

class TrackingClient {
public:
    TrackingClient(std::shared_ptr<const TrackingService> service, ClientWaiting waiting, ClientMemory memory);

    const TrackingService &service() const { return *svc; }

    // One reading for each ask, in order, once every answer came. At most
    // the service's batchLimit() asks; each number once.
    void ask(const QList<ServiceAsk> &asks, std::function<void(const QList<TrackingReading> &)> done);

    // The wait after a registration before the first reading (the service
    // fetches the carrier's data asynchronously).
    int firstWaitMs = 5000;
    // A 429 asking to wait no longer than this is waited out in place.
    int shortHoldMs = 10000;

    // The longest hold any answer can ask for.
    static constexpr qint64 MaxHoldSeconds = 7 * 86400;
    // How long a registered number's empty answer means "not found yet".
    static constexpr qint64 FirstAnswerSeconds = 86400;

private:
    struct Round;
    void registerThen(const std::shared_ptr<Round> &round);
    void read(const std::shared_ptr<Round> &round, int shortWaits);
    void finish(const std::shared_ptr<Round> &round);
    // The account-wide refusal remembered (a spent monthly quota), if it
    // still holds.
    std::optional<TrackingReading> accountRefusal() const;

    std::shared_ptr<const TrackingService> svc;
    ClientWaiting waiting;
    ClientMemory memory;
};

// A hold's end as the user reads it: the time alone when it is today, with
// its date otherwise; in local time.
QString holdText(const QDateTime &until, const QDateTime &now);

// A stored hold or answer time judged against the clock: a hold further
// away than any answer may ask for was not written by this program (or the
// clock was wrong): none. An answer time in the future likewise.
qint64 sanedHoldMs(qint64 heldUntilMs, qint64 nowMs);
qint64 sanedAnswerMs(qint64 answeredMs, qint64 nowMs);

class Store;
// The watch setting holding the account-wide hold (ms since the epoch).
inline const char AccountHeldSetting[] = "service_held_until";

// Whether a query nobody asked for (the rounds, the window's loop and timed
// query) may ask the parcel now: an invalid time when it may; else until
// when it waits, held by the service (held true) or within the minimum
// interval restMs since its last answer (held false). The user's own query
// goes whatever this says.
struct PaceWait {
    QDateTime until;
    bool held = false;
};
PaceWait automaticQueryWait(Store &store, qint64 id, const QDateTime &now, qint64 restMs);

// What an answer to a query nobody waited for alone tells the later ones,
// kept in the book the same way by the window and the commands: its time
// counts for the minimum interval (a good answer lifts the number's hold); a
// 429 or the service's quota answer holds the number until the time it gave
// and, when it holds the whole account, every number. id 0: no saved parcel
// (the account's hold is kept all the same). False when the book could not
// be written.
bool keepAnswerPace(Store &store, const TrackingService &service, qint64 id, const TrackingReading &reading,
                    const QDateTime &now);

// Memory kept in the book (its watch settings table).
ClientMemory storeMemory(Store &store);
