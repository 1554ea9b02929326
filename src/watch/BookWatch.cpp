#include "app/Tr.h"
#include "watch/BookWatch.h"
#include "tracking/Client.h"
#include "store/Store.h"
#include "tracking/Reply.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>

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

struct BookWatch::Outcome {
    qint64 id = 0;
    WatchTarget target;
    bool failed = false;
    QString why; // failed: why, in a few words
    qint64 answeredMs = 0; // a paced service answered
    bool quota = false;
    bool accountWide = false;
    QDateTime retryAt;
    bool stored = false;
    bool isNews = false;
    EntryState state;
    BookWatchNews news;
};

namespace {
// What one reply means for its parcel, with the store's own connection.
BookWatch::Outcome judge(Store &store, const TrackingService &service, const WatchTarget &parcel,
                         const TrackingReading &reading, const QDateTime &queried)
{
    BookWatch::Outcome out;
    out.id = parcel.id;
    out.target = parcel;
    // Remembered for the next rounds' minimum interval (see BookWatch::paces).
    if (service.paced())
        out.answeredMs = queried.toMSecsSinceEpoch();
    // Registered, not found yet: nothing to keep, and no failure.
    if (reading.trouble == TrackingReading::Awaiting)
        return out;
    if (reading.trouble == TrackingReading::Quota) {
        out.quota = true;
        out.accountWide = reading.accountWide;
        out.retryAt = reading.retryAt.isValid() ? reading.retryAt : queried.addSecs(30 * 60);
        return out;
    }
    if (reading.kind != TrackingReading::Events) {
        // Failed, unreadable or empty: what is kept stays.
        out.failed = reading.kind != TrackingReading::NoEvents;
        if (reading.kind == TrackingReading::NoAnswer)
            out.why = Parcelio::tr("查询服务没有应答");
        else if (reading.kind == TrackingReading::Unreadable)
            out.why = Parcelio::tr("查询结果无法识别");
        else if (reading.reply.kind == ReplyReading::UnknownNumber)
            out.why = Parcelio::tr("快递单号不存在");
        else
            out.why = reading.reply.message;
        return out;
    }
    // Judged against the row as it is when the answer is kept: the user may
    // have queried, edited or deleted the parcel while this request was out.
    KeptProgress progress = keptProgressOf(parcel.id, reading, queried);
    const bool isSigned = reading.status == Status::Signed;
    const Store::Kept kept =
        store.keepAnswer(progress, parcel.number, parcel.company, int(reading.entries.size()), isSigned);
    switch (kept) {
    case Store::Kept::Failed: out.failed = true; out.why = Parcelio::tr("数据库无法写入"); return out;
    case Store::Kept::Gone:                // deleted meanwhile is no failure
    case Store::Kept::Changed: return out; // the answer is of a number no longer asked
    case Store::Kept::Stored:
    case Store::Kept::News:
    case Store::Kept::Delivered: break;
    }
    out.stored = true;
    out.isNews = kept == Store::Kept::News || kept == Store::Kept::Delivered;
    progress.unseen = out.isNews || (store.progressOf(parcel.id).value_or(KeptProgress{}).unseen);
    out.state = EntryState{reading.status, progress.unseen};
    if (out.isNews) {
        // The row's own goods; number and courier are the ones asked.
        const auto row = store.parcelById(parcel.id);
        WatchTarget now = parcel;
        if (row)
            now.goods = row->goods;
        out.news = BookWatchNews{now, progress};
    }
    return out;
}
} // namespace

OutgoingMail roundNewsMail(const Config &cfg, const QString &recipient, const BookWatchNews &n,
                           const QDateTime &sent, const QString &noticeUrl, const QString &noticeCaption)
{
    const KeptProgress &p = n.progress;
    const NewsFacts facts{n.parcel.goods,
                          n.parcel.number,
                          p.events.first().time,
                          p.events.first().context,
                          transitText(p.events, p.status, sent),
                          n.parcel.company,
                          noticeUrl,
                          noticeCaption,
                          generalDateTime(sent)};
    return newsMail(cfg, recipient, facts, sent);
}

QString roundNewsNotice(const BookWatchNews &n)
{
    const KeptEvent &e = n.progress.events.first();
    // Named as what happened: signed, waiting, in trouble. The round tells
    // no reminder of this parcel beside it (see claimReminders).
    return n.parcel.goods + noticeStatusNote(n.progress.status) + QLatin1Char('\n') + e.time + QLatin1Char(' ') +
           e.context;
}

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
            QNetworkReply *r = sendServiceRequest(*net, request);
            reply = r;
            limit.start(limitMs);
            connect(r, &QNetworkReply::downloadProgress, this, [this, r](qint64 received, qint64) {
                if (received > maxReplyBytes)
                    r->abort();
            });
            connect(r, &QNetworkReply::finished, this, [this, r, then] {
                if (reply == r) {
                    limit.stop();
                    reply = nullptr;
                }
                r->deleteLater();
                // The progress check aborts a large download early, but a body
                // that came in one piece is judged here.
                const bool tooLarge = r->bytesAvailable() > maxReplyBytes;
                ServiceAnswer a = serviceAnswerOf(r, clock());
                if (tooLarge) {
                    a.answered = false;
                    a.body.clear();
                }
                a.body.squeeze();
                then(a);
            });
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

void BookWatch::prepare()
{
    // Made for the first round, not with the window: a book that is never
    // watched costs no network stack and no thread at start-up.
    if (net)
        return;
    net = newNetworkManager();
    storeThread = new QThread(this);
    storeContext = new QObject;
    storeContext->moveToThread(storeThread);
    storeThread->start();
}

BookWatch::~BookWatch()
{
    pause.stop();
    limit.stop();
    // The request goes with the network manager; its answer is not wanted.
    if (reply)
        disconnect(reply, nullptr, this, nullptr);
    // Writes already queued finish first; the connection closes in its thread.
    if (storeThread) {
        QMetaObject::invokeMethod(
            storeContext, [this] { threadStore.reset(); }, Qt::BlockingQueuedConnection);
        storeThread->quit();
        storeThread->wait();
        delete storeContext;
    }
    // A mail half-way to the relay is let finish rather than torn away.
    if (mailThread) {
        mailThread->wait();
        delete mailThread;
    }
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

void BookWatch::onStoreThread(std::function<void(Store &)> work)
{
    ++pendingWrites;
    const QString path = store.databasePath();
    QMetaObject::invokeMethod(
        storeContext,
        [this, path, work] {
            if (!threadStore) {
                threadStore = std::make_unique<Store>();
                threadStore->openShared(path);
            }
            work(*threadStore);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    --pendingWrites;
                    if (heldForWrites) {
                        heldForWrites = false;
                        next();
                    }
                    finishIfDone();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
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
    if (reply)
        reply->abort(); // finished follows, with an error
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

// The parcels of one answer, kept one after the other.
struct BookWatch::Taking {
    QList<WatchTarget> parcels;
    QList<TrackingReading> readings;
    QDateTime at;
    qsizetype next = 0;              // the store's thread only
    qsizetype posted = 0, done = 0;  // the window's thread only
};

void BookWatch::take(const QList<WatchTarget> &parcels, const QList<TrackingReading> &readings, const QDateTime &at)
{
    ++pendingWrites;
    const auto t = std::make_shared<Taking>(Taking{parcels, readings, at, 0, 0, 0});
    // Two parcels under way at most: the store's thread need not wait for
    // the window, and the window's own reads of the book find no long run
    // of commits holding the lock.
    keepNext(t);
    if (parcels.size() > 1)
        keepNext(t);
}

void BookWatch::keepNext(const std::shared_ptr<Taking> &t)
{
    ++t->posted;
    const QString path = store.databasePath();
    QMetaObject::invokeMethod(
        storeContext,
        [this, path, t, svc = service] {
            if (!threadStore) {
                threadStore = std::make_unique<Store>();
                threadStore->openShared(path);
            }
            const qsizetype i = t->next++;
            const Outcome outcome = judge(*threadStore, *svc, t->parcels.at(i), t->readings.value(i), t->at);
            QMetaObject::invokeMethod(
                this,
                [this, t, outcome] {
                    taken(outcome);
                    ++t->done;
                    if (t->posted < t->parcels.size())
                        keepNext(t);
                    else if (t->done == t->parcels.size())
                        allTaken();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
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

void BookWatch::allTaken()
{
    --pendingWrites;
    if (heldForWrites) {
        heldForWrites = false;
        next();
    }
    finishIfDone();
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

void BookWatch::sendMail(const OutgoingMail &mail, int mailLimitMs)
{
    mails.append({mail, mailLimitMs});
    if (!mailThread)
        nextMail();
}

void BookWatch::nextMail()
{
    if (mails.isEmpty())
        return;
    const PendingMail m = mails.takeFirst();
    auto error = std::make_shared<QString>();
    mailThread = QThread::create([m, error] { *error = ::sendMail(m.mail, m.limitMs); });
    connect(mailThread, &QThread::finished, this, [this, error, to = m.mail.recipient] {
        mailThread->wait();
        delete mailThread;
        mailThread = nullptr;
        emit mailFinished(to, *error);
        nextMail();
    });
    mailThread->start();
}

QString roundText(const RoundSummary &s)
{
    QString text = Parcelio::tr("查询%1,更新%2,失败%3").arg(s.asked).arg(s.news).arg(s.failed);
    if (s.rested > 0)
        text += Parcelio::tr(",%1个未到查询间隔").arg(s.rested);
    if (s.held > 0)
        text += Parcelio::tr(",%1个暂缓至%2")
                    .arg(s.held)
                    .arg(holdText(s.heldUntil, s.ended.isValid() ? s.ended : QDateTime::currentDateTime()));
    return text;
}
