#pragma once
// The book watch: every saved parcel that is not signed for is queried in
// the background, one request at a time with a pause between two, and its
// last good progress kept. Requests are asynchronous: nothing here waits in
// a nested event loop, so no handler of the window ever runs inside it.
#include "app/Config.h"
#include "app/Tr.h"
#include "net/Http.h"
#include "tracking/Service.h"
#include "store/Records.h"
#include "store/Store.h"
#include "watch/Mail.h"
#include "watch/Reminders.h"
#include "watch/RoundTexts.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <QSet>
#include <memory>

class TrackingService;
class TrackingClient;
class QThread;
class Store;

class BookWatch : public QObject {
    Q_OBJECT
public:
    BookWatch(Store &store, const Config &cfg, std::function<QDateTime()> clock, QObject *parent = nullptr);
    ~BookWatch() override;

    // True while the user's own query waits: the round holds back until it ends.
    std::function<bool()> userBusy;
    int pauseMs = 2000;
    // A request without a complete answer after this long counts as failed.
    int limitMs = 20000;
    // A reply larger than this is no tracking reply.
    qint64 maxReplyBytes = ReplyLimit::Any;

    // False (and nothing started) while a round runs.
    bool startRound();
    bool running() const { return active; }
    const RoundSummary &lastRound() const { return summary; }

    struct Outcome; // what one reply meant, worked out on the store's thread

    // News is still being stored (the news teller mails it).
    bool telling() const { return pendingWrites > 0; }

signals:
    // Each request of a round, as it goes out and as it ends (either way).
    void requestSent(qint64 id);
    void requestEnded(qint64 id);
    // One parcel answered with events; its progress is stored.
    void checked(qint64 id, const EntryState &state);
    void news(const BookWatchNews &news);
    // After each round, just before roundFinished: the reminders due now,
    // recorded as told (see claimReminders). Not emitted when none is due.
    void reminders(const QList<Reminder> &due);
    void roundFinished(const RoundSummary &summary);

private:
    void prepare();
    void next();
    void answered(const QList<TrackingReading> &readings);
    void abandon();
    // The reply is read and stored on the store's own thread: a commit waits
    // for the disk, and the window's loop must not.
    void take(const QList<WatchTarget> &parcels, const QList<TrackingReading> &readings, const QDateTime &at);
    // The service asked to wait: these parcels, or (account-wide) the rest
    // of the round too, until the moment it named.
    void hold(const QList<WatchTarget> &parcels, const QDateTime &until, bool accountWide);
    // A write on the store's own thread.
    void onStoreThread(std::function<void(Store &)> work);
    struct Taking;
    void keepNext(const std::shared_ptr<Taking> &taking);
    void taken(const Outcome &outcome);
    // A write on the store's thread (or all of an answer's) is done.
    void written();
    // The store's thread's own connection, opened on first use there.
    Store &threadStoreAt(const QString &path);
    void closeStoreThread();
    void finishIfDone();

    Store &store;
    Config cfg;
    std::shared_ptr<const TrackingService> service;
    // Asks, reads, registers and holds; a round only queues and keeps.
    std::unique_ptr<TrackingClient> client;
    quint64 askToken = 0; // the answer of the ask under way, not an abandoned one
    // When each parcel's service answered this round: written at its end,
    // in one transaction, rather than one commit per parcel.
    QList<Store::PaceNote> paces;
    std::function<QDateTime()> clock;
    std::unique_ptr<HttpClient> http;
    QList<WatchTarget> queue;
    // The parcels of the request under way: one, or several where the
    // service takes lists.
    QList<WatchTarget> current;
    quint64 call = 0; // the request under way, 0 when none
    QTimer pause;
    QTimer limit;
    bool active = false;
    bool allAsked = false;
    int pendingWrites = 0;
    bool heldForWrites = false; // next() waits for the store to catch up
    RoundSummary summary;
    QSet<qint64> newsIds; // parcels whose news this round told
    // The round's reminders: decided once all is stored, then told.
    bool remindersDecided = false;
    std::shared_ptr<QList<Reminder>> due;
    QThread *storeThread = nullptr;
    QObject *storeContext = nullptr;    // lives in storeThread
    std::unique_ptr<Store> threadStore; // used in storeThread only
};
