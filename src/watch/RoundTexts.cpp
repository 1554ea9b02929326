// The words of a round: its news mail and notification, and its one line.
#include "watch/RoundTexts.h"

#include "app/Tr.h"
#include "tracking/Client.h"
#include "tracking/Reply.h"

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
