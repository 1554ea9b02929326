#pragma once
// What a round of the book watch found, and how it is told: the news mail,
// the notification and the round's one line.
#include "app/Tr.h"
#include "store/Records.h"
#include "watch/Mail.h"

#include <QDateTime>
#include <QList>
#include <QString>

struct Config;

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
