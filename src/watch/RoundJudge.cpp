// What one answer means for its parcel, judged and kept on the store's own
// thread: stored, news, a failure, or a hold the service asked for.
#include "watch/RoundJudge.h"

#include "app/Tr.h"
#include "store/Store.h"
#include "tracking/Reply.h"

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
    progress.unseen =
        out.isNews || (store.progressOf(parcel.id).value_or(KeptProgress{}).unseen);
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
