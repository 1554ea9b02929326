#include "app/Features.h"
#include "app/Form1.h"
#include "app/Desktop.h"
#include "app/Features.h"
#include "book/Archive.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "app/Text.h"
#include "watch/BookWatchPanel.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QHeaderView>
#include <cstdio>

bool Form1::load(const QString &seedSqlFile)
{
    setWindowIcon(QIcon());
    // The skin goes on before the database opens, as it always has.
    if (platform.skin) {
        platform.skin->attach(this, resourceDir + QStringLiteral("/skinh.she"), QString());
        platform.skin->adjustHSV(85, -40, 0);
    }
    if (!seedSqlFile.isEmpty())
        pendingSeed = seedSqlFile;
    if (!main())
        return false;
    setting();
    features().archive().autoArchive();
    read();
    features().bookWatchPanel().start();
    features().desktop().start();
    LockHeader(ListView1);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fillTimePickers();
    Label11(3)->setText(QString::fromLatin1(Version));
    lastIndex = 0;
    绘制边框();
    loaded = true;
    // Timers enabled at design time start ticking once loading is over.
    Timer3->start();
    Timer5->start();
    // Used all the same, but not in silence.
    if (!cfg.iniWarning.isEmpty()) {
        std::fputs((cfg.iniWarning + QLatin1Char('\n')).toUtf8().constData(), stderr);
        setStatus(cfg.iniWarning);
    }
    return true;
}

bool Form1::main()
{
    const auto result = db.open(appDir, pendingSeed);
    if (result == Store::OpenResult::Ok)
        return true;
    // One line for scripts and launchers; the user sees the box.
    if (result == Store::OpenResult::AlreadyRunning) {
        std::fputs("parcelio: another copy is already running with this database\n", stderr);
        msg(Parcelio::tr("程序已运行!"));
    } else if (result == Store::OpenResult::TooNew) {
        // Left as it is: this version would not know what the newer one keeps.
        msg(Parcelio::tr("数据库由更新版本的程序创建,当前版本无法使用!\r\n \r\n请到官网下载最新版本：") +
            cfg.site);
    } else {
        // With the engine's own reason, which the box does not show.
        qWarning().noquote() << "parcelio: the database"
                             << QDir::toNativeSeparators(appDir + QStringLiteral("/db/kd100.mdb"))
                             << "cannot be used:" << db.error();
        msg(Parcelio::tr("数据库链接出错!请到官网下载原版!\r\n \r\nTesmarParcelio官方网站：") + cfg.site);
        openWeb(cfg.site);
    }
    if (platform.terminator)
        platform.terminator->terminate(1);
    return false;
}

void Form1::LockHeader(QTreeWidget *list)
{
    // Columns keep their designed widths: no dragging, no auto-size.
    QHeaderView *h = list->header();
    h->setStretchLastSection(false);
    h->setSectionsMovable(false);
    h->setSectionResizeMode(QHeaderView::Fixed);
}

void Form1::绘制边框()
{
    const int W = width();
    Picture7->setGeometry(3, Picture7->y(), W - 6, Picture7->height());
    update();
}

void Form1::csh()
{
    hideAllPanels();
    Timer1->stop();
    // Back to idle, except for what a running loop or timed query holds.
    unlockControls();
    AniGIF1->hide();
    ListView1->setFocus();
    setStatus(Parcelio::tr("程序初始化完毕.."));
}

void Form1::Timer5_Timer()
{
    Label11(5)->setText(clockText(now()));
}

void Form1::setStatus(const QString &text)
{
    // A long message is cut short in the bar; its tooltip tells it whole.
    setFittedText(Label11(2), text);
}

QString Form1::status() const
{
    return wholeText(Label11(2));
}

MessageBox::Answer Form1::msg(const QString &text, MessageBox::Buttons buttons, MessageBox::Icon icon,
                              const QString &title)
{
    if (!platform.messageBox)
        return buttons == MessageBox::YesNo ? MessageBox::AnswerNo : MessageBox::AnswerOk;
    return platform.messageBox->show(isVisible() ? this : nullptr, text, title, icon, buttons);
}

void Form1::hideAllPanels()
{
    for (const auto &[i, panel] : kdmenu)
        panel->hide();
}
