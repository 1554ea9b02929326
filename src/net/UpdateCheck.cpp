// The update check one second after load, and the notice for the e-mail
// footer.
#include "app/Form1.h"
#include "app/Tr.h"
#include "net/Answers.h"

void Form1::Timer3_Timer()
{
    // Runs once per program run. Off before the request: its wait lets
    // timers tick, and a slow answer must not start a second check.
    Timer3->stop();
    const QString maker = QStringLiteral("http://") + cfg.makerHost;
    const QString version = answerText(
        fetch(maker + QStringLiteral("/version/gx.txt"), requestLimitMs, false, ReplyLimit::Version));
    if (version.isEmpty()) {
        msg(Parcelio::tr("检测更新失败!请您稍后再试,暂时使用原版"), MessageBox::Ok, MessageBox::Warning);
        reportBook(false);
        unlockAfterUpdateCheck();
        return;
    }
    if (version != QLatin1String(OwnVersion)) {
        setStatus(Parcelio::tr("程序已加载完毕..."));
        msg(Parcelio::tr("发现最新版本![") + version + Parcelio::tr("]\r\n \r\n确定后自动打开官方网站!"));
        openWeb(cfg.site);
        if (platform.terminator)
            platform.terminator->terminate();
        return;
    }
    reportBook(true);
    unlockAfterUpdateCheck();

    // An error page is no notice either: it would end up as the mail's link.
    noticeText =
        answerText(fetch(maker + QStringLiteral("/data/tg.txt"), requestLimitMs, false, ReplyLimit::Notice));
    if (noticeText.contains(QLatin1Char('|'))) {
        const QStringList fields = noticeText.split(QLatin1Char('|'));
        noticeCaption = fields.at(0);
        noticeUrl = fields.at(1);
    }
}

void Form1::reportBook(bool openAddPanel)
{
    const int n = Text1->count();
    if (n != 0) {
        setStatus(Parcelio::tr("程序已加载完毕,当前共有%1个快递单。").arg(n));
        return;
    }
    setStatus(Parcelio::tr("程序已加载完毕,当前没有快递单。"));
    if (openAddPanel)
        menuCommand(Qt::Key_F4); // the add panel, opened as its key opens it
}

void Form1::unlockAfterUpdateCheck()
{
    // A slow answer can arrive after the user started a loop or timed
    // query: its lock holds, as after any query.
    unlockControls();
    ListView1->setFocus();
}
