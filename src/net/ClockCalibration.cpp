// Sets the computer's clock to China Standard Time from a web server's Date
// header, once the readings are believable.
#include "BuildDate.h"
#include "app/Form1.h"
#include "app/Tr.h"
#include "net/Answers.h"

#include <QTimeZone>

namespace {
QString Title()
{
    return Parcelio::tr("提示");
}
// Readings of one server a moment apart that differ by more than this, once
// the time between them is allowed for, cannot all be true. Date headers
// count whole seconds, and each answer takes its own time on the way.
constexpr qint64 AgreeMs = 5000;
// A change of the clock larger than this is set only when the user agrees.
constexpr qint64 AskAboveSecs = 24 * 3600;

// No reading before the program was built can be the time now, nor readings
// that tell different times.
bool believable(std::initializer_list<const ServerTime *> readings)
{
    const QDateTime built(QDate::fromString(QStringLiteral(PARCELIO_BUILD_DATE), Qt::ISODate), QTime(0, 0),
                          QTimeZone::utc());
    QDateTime earliest, latest;
    for (const ServerTime *r : readings) {
        const QDateTime t = r->now();
        if (t < built)
            return false;
        if (!earliest.isValid() || t < earliest)
            earliest = t;
        if (!latest.isValid() || t > latest)
            latest = t;
    }
    return earliest.msecsTo(latest) <= AgreeMs;
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

ServerTime Form1::GetNetTime()
{
    const HttpReply reply = fetch(cfg.timeServer, headLimitMs, true);
    ServerTime t;
    t.at = reply.answered ? chinaTimeOf(reply.date) : QDateTime();
    t.sinceArrival = reply.sinceArrival;
    return t;
}

void Form1::ctime()
{
    // Three readings go out, in order. The clock is set from the last one
    // alone, so that date and time belong together even when midnight falls
    // between readings, and only when every reading was complete and all
    // three are believable.
    const ServerTime a = GetNetTime();
    const ServerTime b = GetNetTime();
    const ServerTime c = GetNetTime();
    if (!a.isValid() || !b.isValid() || !c.isValid()) {
        msg(Parcelio::tr("时间校对失败!未能从网络取得完整的时间,系统时间未更改。"), MessageBox::Ok,
            MessageBox::Information, Title());
        return;
    }
    if (!believable({&a, &b, &c})) {
        msg(Parcelio::tr("时间校对失败,服务器时间不可信"), MessageBox::Ok, MessageBox::Warning, Title());
        return;
    }
    // China's wall-clock time is what this computer's clock will show.
    const QDateTime shown(c.now().date(), c.now().time());
    if (qAbs(now().secsTo(shown)) > AskAboveSecs) {
        const QString question =
            Parcelio::tr("服务器时间与本机时间相差超过一天。\r\n是否将系统时间设为 %1 ?")
                .arg(shown.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        if (msg(question, MessageBox::YesNo, MessageBox::Warning, Title()) != MessageBox::AnswerYes)
            return;
    }
    // Read again: the question may have waited for minutes.
    const QDateTime set = c.now();
    SystemClock::Result result;
    if (platform.systemClock)
        result = platform.systemClock->setLocal(set.date(), set.time());
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
