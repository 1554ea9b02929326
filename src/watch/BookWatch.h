#pragma once
// The book watch: every saved parcel that is not signed for is queried in
// the background, one request at a time with a pause between two, and its
// last good progress kept. Requests are asynchronous: nothing here waits in
// a nested event loop, so no handler of the window ever runs inside it.
#include "app/Config.h"
#include "app/Tr.h"
#include "net/Download.h"
#include "tracking/Service.h"
#include "store/Records.h"
#include "store/Store.h"
#include "watch/Mail.h"
#include "watch/Reminders.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <QSet>
#include <memory>

class QNetworkAccessManager;
class TrackingService;
class TrackingClient;
class QNetworkReply;
class QThread;
class Store;

// A parcel whose event count grew while it is not signed for.
struct BookWatchNews {
    WatchTarget parcel;
    KeptProgress progress; // as stored, newest event first
};

// The news mail of a round's news, as the window and the refresh command send it.
OutgoingMail roundNewsMail(const Config &cfg, const QString &recipient, const BookWatchNews &news,
                           const QDateTime &sent, const QString &noticeUrl = QString(),
                           const QString &noticeCaption = QString());
// The desktop notification of news: its summary, and its text for a
// round's news (goods, then the newest event).
inline QString newsNoticeSummary()
{
    return Parcelio::tr("快递有最新进展");
}
QString roundNewsNotice(const BookWatchNews &news);

struct RoundSummary {
    int asked = 0;  // parcels asked (a request may carry several)
    int failed = 0; // no readable answer within the limit
    int news = 0;
    int rested = 0; // not asked: answered less than the minimum interval ago
    int held = 0;   // not asked (or refused): the service asked to wait
    QDateTime heldUntil; // the latest moment the service asked to wait for
    QDateTime ended;
    // Each failed parcel and why.
    struct Failure {
        qint64 id = 0;
        QString number, why;
    };
    QList<Failure> failures;
};

// The round told in one line: "查询1,更新0,失败0", and what was not asked.
QString roundText(const RoundSummary &summary);

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

    // News mails go out one after another on a worker thread.
    void sendMail(const OutgoingMail &mail, int limitMs);
    // News is still being stored or mailed.
    bool telling() const { return pendingWrites > 0 || mailThread || !mails.isEmpty(); }

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
    void mailFinished(const QString &recipient, const QString &error);

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
    // The last parcel of a request was taken.
    void allTaken();
    void finishIfDone();
    void nextMail();

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
    std::unique_ptr<QNetworkAccessManager> net;
    QList<WatchTarget> queue;
    // The parcels of the request under way: one, or several where the
    // service takes lists.
    QList<WatchTarget> current;
    QPointer<QNetworkReply> reply;
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

    struct PendingMail {
        OutgoingMail mail;
        int limitMs;
    };
    QList<PendingMail> mails;
    QThread *mailThread = nullptr;
};
