// Sets the computer's clock to China Standard Time from a web server's Date
// header.
#include "app/Form1.h"
#include "app/Tr.h"
#include "net/Answers.h"

namespace {
QString Title()
{
    return Parcelio::tr("提示");
}
} // namespace

void Form1::Command3_Click()
{
    Command3->setEnabled(false);
    if (!GetBody(cfg.clockProbe).isEmpty())
        ctime();
    else
        msg(Parcelio::tr("时间校准功能需要联网操作!"), MessageBox::Ok, MessageBox::Information, Title());
    Command3->setEnabled(true);
}

QDateTime Form1::GetNetTime()
{
    const HttpReply reply = fetch(cfg.timeServer, headLimitMs, true);
    const QDateTime at = reply.answered ? chinaTimeOf(reply.date) : QDateTime();
    // The server's time now, not when it answered: a timer, a click or a
    // message box may have run inside the wait since then, for minutes.
    return at.isValid() ? at.addMSecs(reply.sinceArrival.elapsed()) : QDateTime();
}

void Form1::ctime()
{
    // Three readings go out, in order. The clock is set from the last one
    // alone, so that date and time belong together even when midnight falls
    // between readings, and only when every reading was complete.
    const QDateTime a = GetNetTime();
    const QDateTime b = GetNetTime();
    const QDateTime c = GetNetTime();
    if (!a.isValid() || !b.isValid() || !c.isValid()) {
        msg(Parcelio::tr("时间校对失败!未能从网络取得完整的时间,系统时间未更改。"), MessageBox::Ok,
            MessageBox::Information, Title());
        return;
    }
    SystemClock::Result result;
    if (platform.systemClock)
        result = platform.systemClock->setLocal(c.date(), c.time());
    QString text;
    switch (result.outcome) {
    case SystemClock::Set: text = Parcelio::tr("时间校对成功!"); break;
    case SystemClock::AutomaticSync:
        text = Parcelio::tr("时间校对失败!系统已开启自动时间同步,请先关闭自动同步后再校对。");
        break;
    case SystemClock::Refused:
        text = Parcelio::tr("时间校对失败!系统拒绝更改时间,系统时间未更改。");
        if (!result.reason.isEmpty())
            text += QStringLiteral("\r\n") + result.reason;
        break;
    }
    msg(text, MessageBox::Ok, MessageBox::Information, Title());
}
