// The book watch's writes: made on the store's own thread with a connection
// of its own, so that a commit waiting for the disk never holds the window.
#include "watch/BookWatch.h"
#include "watch/RoundJudge.h"

#include <QThread>

void BookWatch::prepare()
{
    // Made for the first round, not with the window: a book that is never
    // watched costs no network stack and no thread at start-up.
    if (http)
        return;
    http = newHttpClient();
    storeThread = new QThread(this);
    storeContext = new QObject;
    storeContext->moveToThread(storeThread);
    storeThread->start();
}

void BookWatch::closeStoreThread()
{
    // Writes already queued finish first; the connection closes in its thread.
    if (!storeThread)
        return;
    QMetaObject::invokeMethod(
        storeContext, [this] { threadStore.reset(); }, Qt::BlockingQueuedConnection);
    storeThread->quit();
    storeThread->wait();
    delete storeContext;
}

void BookWatch::onStoreThread(std::function<void(Store &)> work)
{
    ++pendingWrites;
    const QString path = store.databasePath();
    QMetaObject::invokeMethod(
        storeContext,
        [this, path, work] {
            work(threadStoreAt(path));
            QMetaObject::invokeMethod(this, &BookWatch::written, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
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
            const qsizetype i = t->next++;
            const Outcome outcome = judge(threadStoreAt(path), *svc, t->parcels.at(i), t->readings.value(i), t->at);
            QMetaObject::invokeMethod(
                this,
                [this, t, outcome] {
                    taken(outcome);
                    ++t->done;
                    if (t->posted < t->parcels.size())
                        keepNext(t);
                    else if (t->done == t->parcels.size())
                        written();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

Store &BookWatch::threadStoreAt(const QString &path)
{
    if (!threadStore) {
        threadStore = std::make_unique<Store>();
        threadStore->openShared(path);
    }
    return *threadStore;
}

void BookWatch::written()
{
    --pendingWrites;
    if (heldForWrites) {
        heldForWrites = false;
        next();
    }
    finishIfDone();
}
