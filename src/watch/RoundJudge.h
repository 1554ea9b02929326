#pragma once
// What one answer of the book watch means for its parcel.
#include "watch/BookWatch.h"

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

// What one reply means for its parcel, with the store's own connection.
BookWatch::Outcome judge(Store &store, const TrackingService &service, const WatchTarget &parcel,
                         const TrackingReading &reading, const QDateTime &queried);
