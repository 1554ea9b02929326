// The book watch in the window: its controls in the settings panel, its
// timer, and what its news brings (sound, mail, desktop notification, the
// list's marks). None of it touches the shown parcel, the progress list or
// the status line.
#include "app/Form1.h"
#include "app/Desktop.h"
#include "app/Features.h"
#include "book/PickupLine.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "book/ParcelListModel.h"
#include "store/SettingValues.h"
#include "tracking/Reply.h"
#include "watch/BookWatch.h"

#include <QLocale>

namespace {
const struct {
    const char *text;
    int minutes;
} Intervals[] = {
    {QT_TRANSLATE_NOOP("Parcelio", "30分钟"), 30},  {QT_TRANSLATE_NOOP("Parcelio", "1小时"), 60},
    {QT_TRANSLATE_NOOP("Parcelio", "2小时"), 120},  {QT_TRANSLATE_NOOP("Parcelio", "3小时"), 180},
    {QT_TRANSLATE_NOOP("Parcelio", "6小时"), 360},  {QT_TRANSLATE_NOOP("Parcelio", "12小时"), 720},
    {QT_TRANSLATE_NOOP("Parcelio", "24小时"), 1440}};
const QString AutoKey = QStringLiteral("auto");
const QString IntervalKey = QStringLiteral("interval_minutes");
} // namespace

void Form1::buildBookWatchControls()
{
    // In the free space of the settings panel beside the clock button: the
    // panel keeps its size.
    Panel *p = kdmenu(1);
    Frame7 = new QGroupBox(p);
    Frame7->setObjectName(QStringLiteral("Frame7"));
    Frame7->setFlat(true);
    Frame7->setGeometry(128, 250, 158, p->height() - 252);
    Frame7->setAttribute(Qt::WA_NoMousePropagation);
    Check9 = new QCheckBox(Parcelio::tr("自动刷新"), Frame7);
    Check9->setObjectName(QStringLiteral("Check9"));
    Check9->setToolTip(Parcelio::tr("每隔所选时间在后台查询全部未签收的快递"));
    Check9->setGeometry(6, 6, 80, 26);
    Combo5 = new QComboBox(Frame7);
    Combo5->setObjectName(QStringLiteral("Combo5"));
    Combo5->setGeometry(86, 6, 70, 26);
    for (const auto &i : Intervals)
        Combo5->addItem(Parcelio::tr(i.text), i.minutes);
    Combo5->setCurrentIndex(1);
    Command6 = new QPushButton(Parcelio::tr("立即刷新"), Frame7);
    Command6->setObjectName(QStringLiteral("Command6"));
    Command6->setToolTip(Parcelio::tr("现在就在后台查询一遍全部未签收的快递"));
    Command6->setGeometry(6, 36, 150, 24);
    // Under the promotion link, which stays clickable.
    Label27 = new Label(QString(), p);
    Label27->setObjectName(QStringLiteral("Label27"));
    Label27->setGeometry(290, 288, p->width() - 304, 20);
    setTextColour(Label27, QColor(110, 110, 110));
    QFont small = Label27->font();
    small.setPointSizeF(8);
    Label27->setFont(small);

    Timer8 = new QTimer(this);
    Timer8->setObjectName(QStringLiteral("Timer8"));
    connect(Check9, &QCheckBox::toggled, this, [this] { Check9_Click(); });
    connect(Combo5, &QComboBox::currentIndexChanged, this, [this] { Combo5_Change(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
    connect(Timer8, &QTimer::timeout, this, [this] {
        if (bookWatch)
            bookWatch->startRound(); // refused while one runs
    });
}

void Form1::startBookWatch()
{
    if (bookWatch)
        return;
    bookWatch = new BookWatch(
        db, cfg, [this] { return now(); }, this);
    bookWatch->userBusy = [this] { return userQueryRuns(); };
    connect(bookWatch, &BookWatch::checked, this,
            [this](qint64 id, const EntryState &state) { setEntryState(id, state); });
    connect(bookWatch, &BookWatch::news, this, &Form1::bookWatchNews);
    connect(bookWatch, &BookWatch::reminders, this, &Form1::bookWatchReminders);
    connect(bookWatch, &BookWatch::roundFinished, this, [this](const RoundSummary &s) {
        QString line = Parcelio::tr("上次刷新%1：").arg(s.ended.toString(QStringLiteral("MM-dd hh:mm"))) +
                       roundText(s);
        // When the next round runs, as the timer counts.
        if (Timer8->isActive())
            line += Parcelio::tr(",下次%1").arg(
                now().addMSecs(Timer8->remainingTime()).toString(QStringLiteral("hh:mm")));
        Label27->setText(line);
        Label27->setToolTip(line);
        // The round read the book afresh; the list follows it.
        refillIfBookChanged();
    });
    connect(bookWatch, &BookWatch::mailFinished, this, [this](const QString &, const QString &error) {
        if (!error.isEmpty())
            Label27->setText(Parcelio::tr("最新信息发送失败!错误原因") + error);
    });
    if (platform.notifier)
        platform.notifier->onChosen = [this](qint64 id) { chooseNotifiedParcel(id); };
    refreshEntryStates();

    // Restored without writing back what was just read.
    const QSignalBlocker blockCheck(Check9);
    const QSignalBlocker blockCombo(Combo5);
    const int minutes = db.watchSetting(IntervalKey, QStringLiteral("60")).toInt();
    const int at = Combo5->findData(minutes);
    Combo5->setCurrentIndex(at >= 0 ? at : 1);
    Check9->setChecked(switchIsOn(db.watchSetting(AutoKey)));
    Timer8->setInterval(Combo5->currentData().toInt() * 60000);
    if (Check9->isChecked())
        Timer8->start();
}

void Form1::Check9_Click()
{
    db.writeWatchSetting(AutoKey, Check9->isChecked() ? QStringLiteral("是") : QStringLiteral("否"));
    if (Check9->isChecked())
        Timer8->start(Combo5->currentData().toInt() * 60000);
    else
        Timer8->stop();
}

void Form1::Combo5_Change()
{
    const int minutes = Combo5->currentData().toInt();
    if (minutes <= 0)
        return;
    db.writeWatchSetting(IntervalKey, QString::number(minutes));
    Timer8->setInterval(minutes * 60000);
    if (Check9->isChecked())
        Timer8->start(); // counts from now
}

void Form1::Command6_Click()
{
    if (!bookWatch)
        return;
    if (bookWatch->startRound())
        Label27->setText(Parcelio::tr("正在刷新全部未签收快递.."));
    else
        Label27->setText(Parcelio::tr("刷新正在进行,请稍候.."));
}

void Form1::bookWatchNews(const BookWatchNews &n)
{
    if (Check3->isChecked() && platform.sound)
        platform.sound->play(resourceDir + QStringLiteral("/ts.mp3"));
    if (Check2->isChecked() && !Sendmail->text().isEmpty()) {
        const OutgoingMail mail = roundNewsMail(cfg, Sendmail->text(), n, now(), noticeUrl, noticeCaption);
        const QString refused = refusedHeaders(mail);
        if (refused.isEmpty())
            bookWatch->sendMail(mail, mailLimitMs);
        else
            Label27->setText(Parcelio::tr("最新信息发送失败!错误原因") + refused);
    }
    const KeptEvent &e = n.progress.events.first();
    notifyNews(n.progress.id, n.parcel.goods, e.time + QLatin1Char(' ') + e.context);
}

void Form1::bookWatchReminders(const QList<Reminder> &due)
{
    // One sound for the round's reminders; a mail and a notification each.
    if (Check3->isChecked() && platform.sound)
        platform.sound->play(resourceDir + QStringLiteral("/ts.mp3"));
    for (const Reminder &r : due) {
        if (Check2->isChecked() && !Sendmail->text().isEmpty()) {
            const OutgoingMail mail = reminderMail(cfg, Sendmail->text(), r, now());
            const QString refused = refusedHeaders(mail);
            if (refused.isEmpty())
                bookWatch->sendMail(mail, mailLimitMs);
            else
                Label27->setText(Parcelio::tr("最新信息发送失败!错误原因") + refused);
        }
        QList<NotifyAction> actions = features().desktop().newsActions(r.id);
        if (r.kind == Reminder::Station)
            actions.append({QStringLiteral("picked"), Parcelio::tr("已取件")});
        if (platform.notifier)
            platform.notifier->notify(reminderSummary(), reminderNotice(r), r.id, actions);
    }
}

void Form1::notifyNews(qint64 id, const QString &goods, const QString &newest)
{
    if (platform.notifier)
        platform.notifier->notify(newsNoticeSummary(),
                                  goods + features().pickupLine().stageNote(id) + QLatin1Char('\n') + newest,
                                  id, features().desktop().newsActions(id));
}

void Form1::chooseNotifiedParcel(qint64 id)
{
    showNormal();
    raise();
    activateWindow();
    auto find = [this, id] {
        for (int i = 0; i < Text1->count(); ++i)
            if (Text1->itemData(i).isValid() && Text1->itemData(i).toLongLong() == id)
                return i;
        return -1;
    };
    // While a query or a loop holds the list, the window only comes up.
    if (!Text1->isEnabled())
        return;
    int at = find();
    if (at < 0) { // a narrowed list: the whole book again
        sX();
        at = find();
    }
    if (at >= 0)
        setListIndex(at);
}
