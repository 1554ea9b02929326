#include "watch/BookWatch.h"
#include "store/Store.h"
#include "tracking/Reply.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>

namespace {
// How often a round that waits for the user's own query looks again.
constexpr int UserWaitMs = 200;
// Answers read but not yet stored, at most: the network outpaces the disk,
// and answers held without bound would make a round's memory grow with
// the book.
constexpr int MaxPendingWrites = 4;
} // namespace

struct BookWatch::Outcome {
    qint64 id = 0;
    bool failed = false;
    bool stored = false;
    bool isNews = false;
    EntryState state;
    BookWatchNews news;
};

namespace {
// What one reply means for its parcel, with the store's own connection.
BookWatch::Outcome judge(Store &store, const WatchTarget &parcel, const QByteArray &body,
                         const QByteArray &type, const QDateTime &queried)
{
    BookWatch::Outcome out;
    out.id = parcel.id;
    const TrackingReading reading = readTrackingReply(decodeReplyBody(body, type));
    if (reading.kind != TrackingReading::Events) {
        // Failed, unreadable or empty: what is kept stays.
        out.failed = reading.kind != TrackingReading::NoEvents;
        return out;
    }
    // Judged against the row as it is when the answer is kept: the user may
    // have queried, edited or deleted the parcel while this request was out.
    KeptProgress progress = keptProgressOf(parcel.id, reading, queried);
    const bool isSigned = reading.state == ParcelState::Signed;
    const Store::Kept kept =
        store.keepAnswer(progress, parcel.number, parcel.company, int(reading.entries.size()), isSigned);
    switch (kept) {
    case Store::Kept::Failed: out.failed = true; return out;
    case Store::Kept::Gone:                // deleted meanwhile is no failure
    case Store::Kept::Changed: return out; // the answer is of a number no longer asked
    case Store::Kept::Stored:
    case Store::Kept::News: break;
    }
    out.stored = true;
    out.isNews = kept == Store::Kept::News;
    progress.unseen =
        out.isNews || (store.progressOf(QString::number(parcel.id)).value_or(KeptProgress{}).unseen);
    out.state = EntryState{isSigned, progress.unseen};
    if (out.isNews) {
        // The row's own goods; number and courier are the ones asked.
        const auto row = store.parcelById(QString::number(parcel.id));
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
                          transitText(p.events, stateOf(p.events), sent),
                          n.parcel.company,
                          noticeUrl,
                          noticeCaption,
                          generalDateTime(sent)};
    return newsMail(cfg, recipient, facts, sent);
}

QString roundNewsNotice(const BookWatchNews &n)
{
    const KeptEvent &e = n.progress.events.first();
    return n.parcel.goods + QLatin1Char('\n') + e.time + QLatin1Char(' ') + e.context;
}

BookWatch::BookWatch(Store &store_, const Config &cfg_, std::function<QDateTime()> clock_, QObject *parent)
    : QObject(parent),
      store(store_),
      cfg(cfg_),
      clock(std::move(clock_))
{
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
    queue = targets;
    pause.start(0);
    return true;
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
    current = queue.takeFirst();
    QNetworkRequest request{QUrl(trackingUrlOf(cfg, current.code, current.number))};
    request.setRawHeader("If-Modified-Since", "0");
    ++summary.asked;
    reply = net->get(request);
    QNetworkReply *r = reply;
    connect(r, &QNetworkReply::finished, this, &BookWatch::answered);
    connect(r, &QNetworkReply::downloadProgress, this, [this, r](qint64 received, qint64) {
        if (received > maxReplyBytes)
            r->abort();
    });
    limit.start(limitMs);
    emit requestSent(current.id);
}

void BookWatch::abandon()
{
    if (reply)
        reply->abort(); // finished follows, with an error
}

void BookWatch::answered()
{
    QNetworkReply *r = qobject_cast<QNetworkReply *>(sender());
    if (!r || r != reply)
        return;
    limit.stop();
    reply = nullptr;
    r->deleteLater();
    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // The progress check aborts a large download early, but a body that came
    // in one piece is finished before it runs: its size is judged here too.
    const bool tooLarge = r->bytesAvailable() > maxReplyBytes;
    if (r->error() == QNetworkReply::NoError && status >= 200 && status < 300 && !tooLarge) {
        // readAll leaves room for a further chunk (some 32 KiB): not kept
        // while the body waits for the store's thread.
        QByteArray body = r->readAll();
        body.squeeze();
        take(current, body, r->rawHeader("Content-Type"));
    } else {
        ++summary.failed;
    }
    emit requestEnded(current.id);
    if (queue.isEmpty())
        next();
    else
        pause.start(pauseMs);
}

void BookWatch::take(const WatchTarget &parcel, const QByteArray &body, const QByteArray &type)
{
    ++pendingWrites;
    const QString path = store.databasePath();
    const QDateTime queried = clock();
    QMetaObject::invokeMethod(
        storeContext,
        [this, path, parcel, body, type, queried] {
            if (!threadStore) {
                threadStore = std::make_unique<Store>();
                threadStore->openShared(path);
            }
            const Outcome outcome = judge(*threadStore, parcel, body, type, queried);
            QMetaObject::invokeMethod(
                this, [this, outcome] { taken(outcome); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void BookWatch::taken(const Outcome &o)
{
    --pendingWrites;
    if (o.failed)
        ++summary.failed;
    if (o.stored) {
        emit checked(o.id, o.state);
        if (o.isNews) {
            ++summary.news;
            emit news(o.news);
        }
    }
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
    active = false;
    summary.ended = clock();
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
