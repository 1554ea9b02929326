#include "app/Features.h"
#include "app/Form1.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "watch/BookWatchPanel.h"
#include "watch/Mail.h"
#include "watch/NewsTeller.h"

#include <QDeadlineTimer>
#include <QEventLoop>

void Form1::ql()
{
    CurrentService.reading = TrackingReading{};
    eventCount = 0;
}

void Form1::gxtj()
{
    // A parcel without a stored count takes this display as its baseline.
    if (CurrentParcel.num.isEmpty())
        CurrentParcel.num = QString::number(shownCount);
    bool ok = false;
    double stored = CurrentParcel.num.trimmed().toDouble(&ok);
    if (!ok)
        stored = 0;
    const bool news = stored < shownCount;
    const bool isSigned = isDelivered(CurrentParcel.status);

    if (news && !isSigned) {
        Label12(3)->setText(Parcelio::tr("有更新"));
        setTextColour(Label12(3), QColor(255, 0, 0));
        // The row gets the new count, and the news is told by the one query
        // that raised it: a round of the book watch that saw the same event
        // may have told it already. No row, no alert.
        const std::optional<qint64> id = rowIdOf(CurrentParcel.id);
        switch (id ? db.claimNews(*id, shownCount) : Store::Claim::Failed) {
        case Store::Claim::Claimed: break;
        case Store::Claim::AlreadyTold:
            if (db.parcelById(*id).outcome == RowLookup<ParcelRecord>::Missing)
                stopWatchForRemovedParcel();
            return;
        case Store::Claim::Failed: return;
        }
        NewsTeller &teller = features().newsTeller();
        // The sound, and someone elsewhere on the desktop hears of it too;
        // the mail is emailgx's, which the user waits for.
        NewsItem item = teller.newsItem(*id, Text1->currentText(),
                                        CurrentParcel.newest.time + QLatin1Char(' ') + CurrentParcel.newest.context);
        item.notify = !isActiveWindow() && shownCount > 0;
        teller.tell({item});
        if (teller.mailsOn())
            emailgx();
    } else if (!isSigned) {
        Label12(3)->setText(Parcelio::tr("无更新"));
        setTextColour(Label12(3), Qt::white);
    } else {
        setTextColour(Label12(3), Qt::white);
        Label12(3)->setText(shownStatus(Status::Signed));
    }
}

void Form1::emailgx()
{
    setStatus(Parcelio::tr(" 正发送最新动态邮件,请稍等.."));
    const QString failed = Parcelio::tr("最新信息发送失败!错误原因");
    if (CurrentParcel.newest.time.isEmpty() && CurrentParcel.newest.context.isEmpty()) {
        setStatus(failed + Parcelio::tr("没有快递进度可以发送"));
        return;
    }
    const QDateTime sent = now();
    const NewsFacts facts{Text1->currentText(),   CurrentParcel.number,  CurrentParcel.newest.time,
                          CurrentParcel.newest.context, CurrentParcel.transit, CurrentParcel.company,
                          noticeUrl,                  noticeCaption,         generalDateTime(sent)};
    const OutgoingMail mail = newsMail(cfg, Sendmail->text(), facts, sent);
    QString error = refusedHeaders(mail);
    if (error.isEmpty()) {
        // The relay is talked to on the news teller's worker, after the mails
        // queued before it; the window keeps running in this nested loop, and
        // change detection resumes after the send.
        const Holding sending(rerunGuard);
        const std::optional<QString> sent = features().newsTeller().mailAndWait(mail);
        if (!sent)
            return; // quitting: the exit waits for the mail
        error = *sent;
    }
    setStatus(error.isEmpty() ? Parcelio::tr("快递有最新进展，已发送至邮箱!") : failed + error);
}

void Form1::finishNewsBeforeExit()
{
    NewsTeller &teller = features().newsTeller();
    BookWatchPanel &bookWatch = features().bookWatchPanel();
    auto telling = [&] { return teller.mailing() || bookWatch.telling(); };
    if (!telling())
        return;
    // Gone for the user at once; nothing new is started meanwhile.
    hide();
    for (QTimer *t : {Timer4, Timer6})
        if (t)
            t->stop();
    bookWatch.stop();
    QDeadlineTimer deadline(teller.exitMailLimitMs);
    while (telling() && !deadline.hasExpired()) {
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
    }
}
