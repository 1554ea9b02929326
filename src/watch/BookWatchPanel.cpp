// The book watch in the window. None of it touches the shown parcel, the
// progress list or the status line.
#include "watch/BookWatchPanel.h"

#include "app/Desktop.h"
#include "app/Features.h"
#include "app/Form1.h"
#include "app/Tr.h"
#include "book/ParcelListModel.h"
#include "store/SettingValues.h"
#include "tracking/Reply.h"
#include "watch/BookWatch.h"
#include "watch/NewsTeller.h"
#include "watch/QueryFallback.h"

#include <QLocale>
#include <QPointer>

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

BookWatchPanel::BookWatchPanel(Form1 &window_, Notifier *notifier_) : window(window_), notifier(notifier_)
{
    // In the free space of the settings panel beside the clock button: the
    // panel keeps its size.
    Panel *p = window.kdmenu(1);
    bookWatchFrame = new QGroupBox(p);
    bookWatchFrame->setObjectName(QStringLiteral("bookWatchFrame"));
    bookWatchFrame->setFlat(true);
    bookWatchFrame->setGeometry(128, 250, 158, p->height() - 252);
    bookWatchFrame->setAttribute(Qt::WA_NoMousePropagation);
    bookWatchBox = new QCheckBox(Parcelio::tr("自动刷新"), bookWatchFrame);
    bookWatchBox->setObjectName(QStringLiteral("bookWatchBox"));
    bookWatchBox->setToolTip(Parcelio::tr("每隔所选时间在后台查询全部未签收的快递"));
    bookWatchBox->setGeometry(6, 6, 80, 26);
    bookWatchInterval = new QComboBox(bookWatchFrame);
    bookWatchInterval->setObjectName(QStringLiteral("bookWatchInterval"));
    bookWatchInterval->setGeometry(86, 6, 70, 26);
    for (const auto &i : Intervals)
        bookWatchInterval->addItem(Parcelio::tr(i.text), i.minutes);
    bookWatchInterval->setCurrentIndex(1);
    bookWatchNowButton = new QPushButton(Parcelio::tr("立即刷新"), bookWatchFrame);
    bookWatchNowButton->setObjectName(QStringLiteral("bookWatchNowButton"));
    bookWatchNowButton->setToolTip(Parcelio::tr("现在就在后台查询一遍全部未签收的快递"));
    bookWatchNowButton->setGeometry(6, 36, 150, 24);
    // Under the promotion link, which stays clickable.
    bookWatchStatus = new Label(QString(), p);
    bookWatchStatus->setObjectName(QStringLiteral("bookWatchStatus"));
    bookWatchStatus->setGeometry(290, 288, p->width() - 304, 20);
    setTextColour(bookWatchStatus, QColor(110, 110, 110));
    QFont small = bookWatchStatus->font();
    small.setPointSizeF(8);
    bookWatchStatus->setFont(small);

    bookWatchTimer = new QTimer(&window);
    bookWatchTimer->setObjectName(QStringLiteral("bookWatchTimer"));
    connect(bookWatchBox, &QCheckBox::toggled, this, [this] { switchClicked(); });
    connect(bookWatchInterval, &QComboBox::currentIndexChanged, this, [this] { intervalChanged(); });
    connect(bookWatchNowButton, &QPushButton::clicked, this, [this] { roundNow(); });
    connect(bookWatchTimer, &QTimer::timeout, this, [this] {
        watch()->startRound(); // refused while one runs
    });
}

BookWatchPanel::~BookWatchPanel() = default;

BookWatch *BookWatchPanel::watch()
{
    if (bookWatch)
        return bookWatch;
    Form1 *w = &window;
    bookWatch = new BookWatch(
        w->store(), w->config(), [w] { return w->now(); }, this);
    bookWatch->userBusy = [w] { return w->features().queryFallback().userQueryRuns(); };
    connect(bookWatch, &BookWatch::checked, this,
            [w](qint64 id, const EntryState &state) { w->setEntryState(id, state); });
    connect(bookWatch, &BookWatch::news, this, &BookWatchPanel::tellNews);
    connect(bookWatch, &BookWatch::reminders, this, &BookWatchPanel::tellReminders);
    connect(bookWatch, &BookWatch::roundFinished, this, [this](const RoundSummary &s) {
        QString line = Parcelio::tr("上次刷新%1：").arg(s.ended.toString(QStringLiteral("MM-dd hh:mm"))) +
                       roundText(s);
        // When the next round runs, as the timer counts.
        if (bookWatchTimer->isActive())
            line += Parcelio::tr(",下次%1").arg(
                window.now().addMSecs(bookWatchTimer->remainingTime()).toString(QStringLiteral("hh:mm")));
        bookWatchStatus->setText(line);
        bookWatchStatus->setToolTip(line);
        // The round read the book afresh; the list follows it.
        window.refillIfBookChanged();
    });
    return bookWatch;
}

void BookWatchPanel::start()
{
    if (started)
        return;
    started = true;
    if (notifier)
        notifier->onChosen = [this](qint64 id) { chooseNotifiedParcel(id); };
    window.refreshEntryStates();

    // Restored without writing back what was just read.
    const QSignalBlocker blockCheck(bookWatchBox);
    const QSignalBlocker blockCombo(bookWatchInterval);
    const int minutes = window.store().watchSetting(IntervalKey, QStringLiteral("60")).toInt();
    const int at = bookWatchInterval->findData(minutes);
    bookWatchInterval->setCurrentIndex(at >= 0 ? at : 1);
    bookWatchBox->setChecked(switchIsOn(window.store().watchSetting(AutoKey)));
    bookWatchTimer->setInterval(bookWatchInterval->currentData().toInt() * 60000);
    if (bookWatchBox->isChecked())
        bookWatchTimer->start();
}

void BookWatchPanel::switchClicked()
{
    window.store().writeWatchSetting(AutoKey, bookWatchBox->isChecked() ? QStringLiteral("是") : QStringLiteral("否"));
    if (bookWatchBox->isChecked())
        bookWatchTimer->start(bookWatchInterval->currentData().toInt() * 60000);
    else
        bookWatchTimer->stop();
}

void BookWatchPanel::intervalChanged()
{
    const int minutes = bookWatchInterval->currentData().toInt();
    if (minutes <= 0)
        return;
    window.store().writeWatchSetting(IntervalKey, QString::number(minutes));
    bookWatchTimer->setInterval(minutes * 60000);
    if (bookWatchBox->isChecked())
        bookWatchTimer->start(); // counts from now
}

void BookWatchPanel::roundNow()
{
    if (!started)
        return;
    if (watch()->startRound())
        bookWatchStatus->setText(Parcelio::tr("正在刷新全部未签收快递.."));
    else
        bookWatchStatus->setText(Parcelio::tr("刷新正在进行,请稍候.."));
}

void BookWatchPanel::stop()
{
    if (bookWatchTimer)
        bookWatchTimer->stop();
}

bool BookWatchPanel::telling() const
{
    return bookWatch && bookWatch->telling();
}

void BookWatchPanel::mailFailed(const QString &error)
{
    bookWatchStatus->setText(Parcelio::tr("最新信息发送失败!错误原因") + error);
}

void BookWatchPanel::tellNews(const BookWatchNews &n)
{
    Form1 *w = &window;
    NewsTeller &teller = w->features().newsTeller();
    const KeptEvent &e = n.progress.events.first();
    NewsItem item = teller.newsItem(n.progress.id, n.parcel.goods, e.time + QLatin1Char(' ') + e.context);
    item.mail = [w, n](const QString &to) {
        return roundNewsMail(w->config(), to, n, w->now(), w->noticeUrl, w->noticeCaption);
    };
    QPointer<BookWatchPanel> self(this);
    teller.tell({item}, [self](const QString &error) {
        if (self)
            self->mailFailed(error);
    });
}

void BookWatchPanel::tellReminders(const QList<Reminder> &due)
{
    // One sound for the round's reminders; a mail and a notification each.
    Form1 *w = &window;
    QList<NewsItem> items;
    for (const Reminder &r : due) {
        QList<NotifyAction> actions = w->features().desktop().newsActions(r.id);
        if (r.kind == Reminder::Station)
            actions.append({QStringLiteral("picked"), Parcelio::tr("已取件")});
        items.append({r.id, reminderSummary(), reminderNotice(r), actions, true,
                      [w, r](const QString &to) { return reminderMail(w->config(), to, r, w->now()); }});
    }
    QPointer<BookWatchPanel> self(this);
    w->features().newsTeller().tell(items, [self](const QString &error) {
        if (self)
            self->mailFailed(error);
    });
}

void BookWatchPanel::chooseNotifiedParcel(qint64 id)
{
    Form1 *w = &window;
    w->showNormal();
    w->raise();
    w->activateWindow();
    auto find = [w, id] {
        for (int i = 0; i < w->Text1->count(); ++i)
            if (w->Text1->itemData(i).isValid() && w->Text1->itemData(i).toLongLong() == id)
                return i;
        return -1;
    };
    // While a query or a loop holds the list, the window only comes up.
    if (!w->Text1->isEnabled())
        return;
    int at = find();
    if (at < 0) { // a narrowed list: the whole book again
        w->sX();
        at = find();
    }
    if (at >= 0)
        w->setListIndex(at);
}
