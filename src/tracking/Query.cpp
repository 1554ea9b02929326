#include "app/Features.h"
#include "app/Form1.h"
#include "app/Features.h"
#include "tracking/PhoneDigits.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "watch/QueryFallback.h"
#include "tracking/Progress.h"
#include "tracking/Reply.h"
#include "tracking/Client.h"
#include "tracking/Service.h"

#include <utility>

void Form1::kdgs(const QString &number)
{
    AniGIF1->show();
    watchdogTicks = 0;
    Timer7->start();
    setStatus(CurrentParcel.company + QStringLiteral(":") + CurrentParcel.goods + Parcelio::tr("查询中..."));
    // Copied: the caller's text may change while the request waits.
    const QString nu = number;
    // The book watch lets the user's own request go first.
    const Holding asking(features().queryFallback().userQueries);
    TrackingClient &client = trackingClient();
    const ServiceAsk ask{CurrentParcel.code, nu, features().phoneDigits().shown()};
    TrackingReading reading;
    client.ask({ask}, [&reading](const QList<TrackingReading> &readings) { reading = readings.value(0); });
    // An answer counts for the rounds' minimum interval, whoever asked; a
    // good one lifts the number's hold, a 429 holds it (or the account).
    bool saved = false;
    const qint64 id = CurrentParcel.id.toLongLong(&saved);
    keepAnswerPace(db, client.service(), saved ? id : 0, reading, now());
    if (reading.trouble == TrackingReading::Quota && reading.retryAt.isValid()) {
        // The status line says until when, as the commands do.
        reading.reply.message += Parcelio::tr(" (%1 以后)").arg(holdText(reading.retryAt, now()));
    }
    // Shown and kept as the service read it, never written out and read again.
    CurrentService.reading = reading;
}

void Form1::cx()
{
    setStatus(Parcelio::tr("未查询"));
    ListView1->clear();
    // A display still pending from an earlier reply is superseded by this
    // query; left running it would tick during the wait below and its rows
    // would be shown (and counted) together with the new ones.
    Timer1->stop();
    eventCount = 0;
    // Should no readable answer come, this parcel's kept progress is shown.
    const QString id = CurrentParcel.id;
    features().queryFallback().fallbackId = id;
    const std::optional<qint64> key = rowIdOf(id);
    const auto asked = key ? db.parcelById(*key) : RowLookup<ParcelRecord>{};
    kdgs(CurrentParcel.number);
    // No answer: the watchdog, still running, returns the window to idle
    // (and shows the kept progress).
    if (CurrentService.reading.kind == TrackingReading::NoAnswer)
        return;
    features().queryFallback().fallbackId.clear();
    // The row got another number or courier while the request was out: the
    // answer is the old number's and is neither shown nor kept.
    if (const auto row = key ? db.parcelById(*key) : RowLookup<ParcelRecord>{};
        asked && row && (row->number != asked->number || row->company != asked->company)) {
        CurrentService.reading = TrackingReading{};
        AniGIF1->hide();
        Timer7->stop();
        unlockControls();
        setStatus(Parcelio::tr("快递单号已修改,本次查询结果作废,请重新查询.."));
        return;
    }

    const ReplyReading reading = CurrentService.reading.reply;
    CurrentParcel.errCode = reading.code;
    if (reading.kind == ReplyReading::Unreadable) {
        AniGIF1->hide();
        Timer7->stop();
        unlockControls();
        setStatus(Parcelio::tr("查询结果无法识别,请稍后再试.."));
        features().queryFallback().showKept(id, status());
        return;
    }

    if (reading.kind != ReplyReading::Success) {
        bool kept = true; // the parcel is still saved
        if (reading.kind == ReplyReading::UnknownNumber) {
            Timer7->stop();
            const QString ask = Parcelio::tr("您好,您当前查询的快递单号不存在,是否保留?\r\n\r\n"
                                               "如果此快递单号是您刚添加不久,建议几小时后再来查询");
            if (msg(ask, MessageBox::YesNo) != MessageBox::AnswerYes &&
                msg(Parcelio::tr("二次防误操作：确认要删除此快递单号?"), MessageBox::YesNo) ==
                    MessageBox::AnswerYes) {
                // The queried parcel's own row goes; success is only told
                // when the row really went.
                if (const std::optional<qint64> gone = rowIdOf(CurrentParcel.id);
                    gone && db.deleteParcel(*gone)) {
                    CurrentParcel.id.clear();
                    kept = false;
                    msg(Parcelio::tr("快递信息已删除!"));
                    sX();
                    if (Check7->isChecked() && Text1->count() > 0)
                        setListIndex(0);
                } else {
                    msg(Parcelio::tr("快递信息删除失败,没有做任何改动!"));
                }
            }
        } else if (!reading.message.isEmpty()) {
            setStatus(reading.message);
        }
        unlockControls();
        if (kept)
            features().queryFallback().showKept(id, reading.message);
    } else {
        // Kept progress shown after the watchdog makes way for the answer.
        ListView1->clear();
        features().queryFallback().keep(id, CurrentService.reading);
        hx2();
        // A reply without events starts no display, and so nothing would
        // ever unlock the list and the menu: unlock them here.
        if (!Timer1->isActive())
            unlockControls();
    }
    AniGIF1->hide();
    Timer7->stop();
}

void Form1::hx2()
{
    const int found = int(qMin<qsizetype>(32767, CurrentService.reading.entries.size()));
    if (found == 0)
        return;
    // Held in 16 bits; a reply with more occurrences saturates instead of
    // wrapping to a negative count that would show nothing.
    eventCount = qint16(qMin(32767, eventCount + found));
    Timer1->start();
}

void Form1::Timer7_Timer()
{
    ++watchdogTicks;
    if (watchdogTicks < 10)
        return;
    Timer7->stop();
    watchdogTicks = 0;
    csh();
    // The numbering skips 3, as the message always has.
    msg(QStringList{
        Parcelio::tr("程序自动检测快递异常!"), QStringLiteral(" "), Parcelio::tr("可能存在以下问题："),
        Parcelio::tr("1.网络异常"), Parcelio::tr("2.快递公司异常"), Parcelio::tr("4.当前快递单号已失效"),
        Parcelio::tr("5.单号或对应快递公司错误"), QStringLiteral(" "), Parcelio::tr("请您稍后重试")}
            .join(QStringLiteral("\r\n")));
    // The request goes on; until it answers, what was last seen is shown.
    const QString fallback = std::exchange(features().queryFallback().fallbackId, QString());
    if (!fallback.isEmpty())
        features().queryFallback().showKept(fallback, QString());
}
