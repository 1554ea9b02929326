#include "app/Form1.h"
#include "tracking/Progress.h"

#include <QUrl>

namespace {
QString enc(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}
} // namespace

QString Form1::trackingUrl(const QString &number) const
{
    // Key order and the doubled id (account first, API key last) are what
    // the service expects.
    return QStringLiteral("http://") + cfg.trackingHost + QStringLiteral("/?id=") + enc(cfg.account) +
           QStringLiteral("&secret=") + enc(cfg.secret) + QStringLiteral("&com=") +
           enc(CurrentParcel.code) + QStringLiteral("&nu=") + enc(number) +
           QStringLiteral("&id=") + enc(cfg.key) + QStringLiteral("&type=json&ord=desc");
}

void Form1::kdgs(const QString &number)
{
    AniGIF1->show();
    watchdogTicks = 0;
    Timer7->start();
    setStatus(CurrentParcel.company + QStringLiteral(":") + CurrentParcel.goods +
              QStringLiteral("查询中..."));
    // Copied: the caller's text may change while the request waits.
    const QString nu = number;
    CurrentParcel.lastReply = GetBody(trackingUrl(nu));
}

void Form1::cx()
{
    setStatus(QStringLiteral("未查询"));
    ListView1->clear();
    // A display still pending from an earlier reply is superseded by this
    // query; left running it would tick during the wait below and its rows
    // would be shown (and counted) together with the new ones.
    Timer1->stop();
    eventCount = 0;
    kdgs(CurrentParcel.number);
    // No answer: the watchdog, still running, returns the window to idle.
    if (CurrentParcel.lastReply.isEmpty())
        return;

    // A running loop or timed query keeps its lock (see unlockAfterQuery).
    auto enableControls = [this] { unlockAfterQuery(); };
    const ReplyReading reading = readReply(CurrentParcel.lastReply);
    CurrentParcel.errCode = reading.code;
    if (reading.kind == ReplyReading::Unreadable) {
        AniGIF1->hide();
        Timer7->stop();
        enableControls();
        setStatus(QStringLiteral("查询结果无法识别,请稍后再试.."));
        return;
    }

    if (reading.kind != ReplyReading::Success) {
        if (reading.kind == ReplyReading::UnknownNumber) {
            Timer7->stop();
            const QString ask = QStringLiteral("您好,您当前查询的快递单号不存在,是否保留?\r\n\r\n"
                                               "如果此快递单号是您刚添加不久,建议几小时后再来查询");
            if (msg(ask, MessageBox::YesNo) != MessageBox::AnswerYes &&
                msg(QStringLiteral("二次防误操作：确认要删除此快递单号?"), MessageBox::YesNo) ==
                    MessageBox::AnswerYes) {
                // The queried parcel's own row goes; success is only told
                // when the row really went.
                if (db.deleteParcel(CurrentParcel.id)) {
                    CurrentParcel.id.clear();
                    msg(QStringLiteral("快递信息已删除!"));
                    sX();
                    if (Check7->isChecked() && Text1->count() > 0)
                        setListIndex(0);
                } else {
                    msg(QStringLiteral("快递信息删除失败,没有做任何改动!"));
                }
            }
        } else if (!reading.message.isEmpty()) {
            setStatus(reading.message);
        }
        enableControls();
    } else {
        hx2();
        // A reply without events starts no display, and so nothing would
        // ever unlock the list and the menu: unlock them here.
        if (!Timer1->isActive())
            unlockAfterQuery();
    }
    AniGIF1->hide();
    Timer7->stop();
}

void Form1::hx2()
{
    const int found = countTime(CurrentParcel.lastReply);
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
    msg(QStringList{QStringLiteral("程序自动检测快递异常!"), QStringLiteral(" "),
                    QStringLiteral("可能存在以下问题："), QStringLiteral("1.网络异常"),
                    QStringLiteral("2.快递公司异常"), QStringLiteral("4.当前快递单号已失效"),
                    QStringLiteral("5.单号或对应快递公司错误"), QStringLiteral(" "),
                    QStringLiteral("请您稍后重试")}
            .join(QStringLiteral("\r\n")));
}
