// A round of the book watch as it is scheduled: which parcels are asked, one
// request at a time with a pause between two, what the service asked to
// wait for, and when the round is over (src/watch/BookWatchStore.cpp keeps
// the answers, src/watch/RoundJudge.cpp judges them).
#include "app/Tr.h"
#include "watch/BookWatch.h"
#include "watch/RoundJudge.h"
#include "tracking/Client.h"
#include "store/Store.h"
#include "tracking/Reply.h"


namespace {
// Until when the service said the whole account must wait (ms since the epoch).
const QString AccountHeldKey = QString::fromLatin1(AccountHeldSetting);
// How often a round that waits for the user's own query looks again.
constexpr int UserWaitMs = 200;
// Answers read but not yet stored, at most: the network outpaces the disk,
// and answers held without bound would make a round's memory grow with
// the book.
constexpr int MaxPendingWrites = 4;
} // namespace

BookWatch::BookWatch(Store &store_, const Config &cfg_, std::function<QDateTime()> clock_, QObject *parent)
    : QObject(parent),
      store(store_),
      cfg(cfg_),
      clock(std::move(clock_))
{
    service = TrackingService::make(cfg);
    // The book watch never waits in place: each request is asynchronous, its
    // answer handed on when it comes, and the client's waits are timers.
    ClientWaiting waiting{
        [this](const ServiceRequest &request, std::function<void(const ServiceAnswer &)> then) {
            // Read as it streams, as every request of the program is: a body
            // over the limit (or announced as such) ends the request.
            auto sent = std::make_shared<quint64>(0);
            *sent = call = http->send(httpRequestOf(request, maxReplyBytes), [this, then, sent](const HttpResult &r) {
                if (call == *sent) {
                    limit.stop();
                    call = 0;
                }
                ServiceAnswer a;
                a.answered = r.statusValid && !r.canceled && !r.tooLarge;
                a.status = r.status;
                a.at = clock();
                if (a.answered) {
                    a.retryAfter = r.retryAfter;
                    a.body = decodeReplyBody(r.body, r.contentType);
                }
                a.body.squeeze();
                then(a);
            });
            limit.start(limitMs);
        },
        [this](int ms, std::function<void()> then) { QTimer::singleShot(ms, this, then); },
        [this] { return clock(); }};
    client = std::make_unique<TrackingClient>(service, std::move(waiting), storeMemory(store));
    pauseMs = cfg.watchPauseMs;
    pause.setSingleShot(true);
    limit.setSingleShot(true);
    connect(&pause, &QTimer::timeout, this, &BookWatch::next);
    connect(&limit, &QTimer::timeout, this, &BookWatch::abandon);
}

BookWatch::~BookWatch()
{
    pause.stop();
    limit.stop();
    // A request under way goes with the client, its answer unwanted.
    closeStoreThread();
}

bool BookWatch::startRound()
{
    if (active)
        return false;
    const QList<WatchTarget> targets = store.watchTargets();
    if (!store.error().isEmpty())
        return false;
    prepare();
    active = true;
    allAsked = false;
    summary = RoundSummary{};
    newsIds.clear();
    remindersDecided = false;
    due.reset();
    queue.clear();
    const QDateTime now = clock();
    const qint64 nowMs = now.toMSecsSinceEpoch();
    // A service that locks numbers asked too often is given its pace; the
    // classic service is asked every round, as it always was.
    const qint64 restMs = service->paced() ? qint64(cfg.minIntervalMinutes) * 60000 : 0;
    const qint64 accountHeld = store.watchSetting(AccountHeldKey, QStringLiteral("0")).toLongLong();
    for (const WatchTarget &t : targets) {
        // Judged against the clock: a hold beyond any a service may ask for,
        // or an answer time ahead of now (a clock that ran ahead), holds
        // nothing back.
        const qint64 heldUntil = qMax(sanedHoldMs(t.heldUntilMs, nowMs), sanedHoldMs(accountHeld, nowMs));
        const qint64 answeredMs = sanedAnswerMs(t.answeredMs, nowMs);
        if (heldUntil > nowMs) {
            ++summary.held;
            const QDateTime until = QDateTime::fromMSecsSinceEpoch(heldUntil);
            if (!summary.heldUntil.isValid() || until > summary.heldUntil)
                summary.heldUntil = until;
        } else if (restMs > 0 && answeredMs > 0 && nowMs - answeredMs < restMs) {
            ++summary.rested;
        } else {
            queue.append(t);
        }
    }
    pause.start(0);
    return true;
}

void BookWatch::hold(const QList<WatchTarget> &parcels, const QDateTime &until, bool accountWide)
{
    summary.held += int(parcels.size());
    if (!summary.heldUntil.isValid() || until > summary.heldUntil)
        summary.heldUntil = until;
    const qint64 ms = until.toMSecsSinceEpoch();
    const qint64 nowMs = clock().toMSecsSinceEpoch();
    for (const WatchTarget &parcel : parcels)
        paces.append({parcel.id, nowMs, ms});
    if (!accountWide)
        return;
    // The rest of this round waits, and so do the next ones until then.
    summary.held += int(queue.size());
    queue.clear();
    onStoreThread([ms](Store &s) { s.writeWatchSetting(AccountHeldKey, QString::number(ms)); });
}

void BookWatch::next()
{
    if (queue.isEmpty()) {
        allAsked = true;
        finishIfDone();
        return;
    }
    if (pendingWrites >= MaxPendingWrites) {
        heldForWrites = true; // taken() goes on
        return;
    }
    if (userBusy && userBusy()) {
        pause.start(UserWaitMs);
        return;
    }
    // As many of the next parcels as one request takes, no number twice.
    current.clear();
    QList<ServiceAsk> asks;
    QSet<QString> numbers;
    while (!queue.isEmpty() && current.size() < service->batchLimit() &&
           !numbers.contains(numberKey(queue.first().number))) {
        const WatchTarget t = queue.takeFirst();
        const ServiceAsk ask{t.code, t.number, t.phone};
        // Not askable with this service (courier not covered, phone digits
        // missing): a failure of this parcel, no request.
        if (const TrackingReading refused = service->refusal(ask); refused.kind != TrackingReading::NoAnswer) {
            ++summary.failed;
            summary.failures.append({t.id, t.number, refused.reply.message});
            continue;
        }
        numbers.insert(numberKey(t.number));
        current.append(t);
        asks.append(ask);
    }
    if (current.isEmpty()) {
        pause.start(0);
        return;
    }
    summary.asked += int(current.size());
    for (const WatchTarget &t : current)
        emit requestSent(t.id);
    const quint64 token = ++askToken;
    client->ask(asks, [this, token](const QList<TrackingReading> &readings) {
        if (token == askToken)
            answered(readings);
    });
}

void BookWatch::abandon()
{
    if (call)
        http->abort(call); // its answer follows, canceled
}

void BookWatch::answered(const QList<TrackingReading> &readings)
{
    const QList<WatchTarget> asked = std::exchange(current, {});
    QList<WatchTarget> kept;
    QList<TrackingReading> keptReadings;
    QDateTime accountUntil;
    for (qsizetype i = 0; i < asked.size(); ++i) {
        const TrackingReading r = readings.value(i);
        if (r.trouble == TrackingReading::Quota) {
            hold({asked.at(i)}, r.retryAt, false);
            if (r.accountWide && (!accountUntil.isValid() || r.retryAt > accountUntil))
                accountUntil = r.retryAt;
            continue;
        }
        kept.append(asked.at(i));
        keptReadings.append(r);
    }
    // The rest of the round waits too.
    if (accountUntil.isValid())
        hold({}, accountUntil, true);
    if (!kept.isEmpty())
        take(kept, keptReadings, clock());
    for (const WatchTarget &t : asked)
        emit requestEnded(t.id);
    if (queue.isEmpty())
        next();
    else
        pause.start(pauseMs);
}

void BookWatch::taken(const Outcome &o)
{
    if (o.answeredMs > 0 && !o.quota)
        paces.append({o.id, o.answeredMs, 0});
    if (o.quota)
        hold({o.target}, o.retryAt, o.accountWide);
    if (o.failed) {
        ++summary.failed;
        summary.failures.append({o.id, o.target.number, o.why});
    }
    if (o.stored) {
        emit checked(o.id, o.state);
        if (o.isNews) {
            ++summary.news;
            newsIds.insert(o.id);
            emit news(o.news);
        }
    }
}

void BookWatch::finishIfDone()
{
    if (!active || !allAsked || pendingWrites > 0)
        return;
    if (!paces.isEmpty()) {
        // Written before the round is told finished; this comes back here.
        onStoreThread([notes = std::exchange(paces, {})](Store &s) { s.notePaces(notes); });
        return;
    }
    if (!remindersDecided) {
        // Over the book as this round left it; this comes back here too.
        remindersDecided = true;
        due = std::make_shared<QList<Reminder>>();
        onStoreThread([out = due, now = clock(), days = reminderDaysOf(cfg), ids = newsIds](Store &s) {
            *out = claimReminders(s, now, days, ids).value_or(QList<Reminder>{});
        });
        return;
    }
    active = false;
    summary.ended = clock();
    if (due && !due->isEmpty())
        emit reminders(*std::exchange(due, {}));
    emit roundFinished(summary);
}
