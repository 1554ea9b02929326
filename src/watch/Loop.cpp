// Loop and timed queries: the shown parcel is queried again without the
// user's hand, every N minutes or once at a chosen time. watchMode is the
// modes' state; the captions of the start/stop buttons say it.
#include "app/Features.h"
#include "app/Form1.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "watch/QueryFallback.h"
#include "tracking/Client.h"
#include "tracking/Service.h"

namespace {
QString LoopIdle()
{
    return Parcelio::tr("开始循环");
}
QString LoopRunning()
{
    return Parcelio::tr("停止循环");
}
QString TimedIdle()
{
    return Parcelio::tr("开始定时");
}
QString TimedArmed()
{
    return Parcelio::tr("关闭定时");
}

// The leading decimal number of a picker's text; -1 when there is none.
int leadingNumber(const QString &text)
{
    int value = -1;
    for (const QChar c : text) {
        if (!c.isDigit() || c.unicode() > '9')
            break;
        value = (value < 0 ? 0 : value) * 10 + (c.unicode() - '0');
        if (value > 100000)
            break;
    }
    return value;
}
} // namespace

QDateTime Form1::now() const
{
    return platform.clock ? platform.clock->now() : QDateTime::currentDateTime();
}

// Each stopped first, so that the unlock finds no mode running.
void Form1::stopLoop()
{
    if (watchMode == WatchMode::Loop)
        watchMode = WatchMode::Idle;
    Command1(16)->setText(LoopIdle());
    Timer6->stop();
    Combo4->setEnabled(true);
    unlockControls();
    loopMinutes = 0;
}

void Form1::stopTimed()
{
    if (watchMode == WatchMode::Timed)
        watchMode = WatchMode::Idle;
    Command1(18)->setText(TimedIdle());
    Timer4->stop();
    Combo2->setEnabled(true);
    Combo3->setEnabled(true);
    unlockControls();
}

bool Form1::watchedParcelGone()
{
    // The row the next query would load: the chosen entry's, or the one
    // loaded last when the list holds no entry for it any more.
    const QVariant entry = Text1->currentData();
    if (!entry.isValid() && CurrentParcel.id.isEmpty())
        return true;
    const std::optional<qint64> id = entry.isValid() ? entry.toLongLong() : rowIdOf(CurrentParcel.id);
    return id && db.parcelById(*id).outcome == RowLookup<ParcelRecord>::Missing;
}

void Form1::chooseWatchedEntry()
{
    // After F8 nothing is chosen; the query would show the parcel last
    // loaded under an empty selector. Its entry is chosen again instead.
    if (Text1->currentData().isValid())
        return;
    if (const int at = entryPositionOf(CurrentParcel.id); at >= 0)
        Text1->setCurrentIndex(at);
}

bool Form1::automaticQueryWaits()
{
    const QVariant entry = Text1->currentData();
    const qint64 id = entry.isValid() ? entry.toLongLong() : CurrentParcel.id.toLongLong();
    const qint64 restMs = trackingService().paced() ? qint64(cfg.minIntervalMinutes) * 60000 : 0;
    const QDateTime at = now();
    const PaceWait wait = automaticQueryWait(db, id, at, restMs);
    if (!wait.until.isValid())
        return false;
    const QString until = holdText(wait.until, at);
    setStatus(wait.held ? Parcelio::tr("查询服务要求暂缓,自动查询在 %1 以后").arg(until)
                        : Parcelio::tr("未到查询间隔,自动查询在 %1 以后").arg(until));
    return true;
}

bool Form1::stopWatchForRemovedParcel()
{
    if (watchMode == WatchMode::Loop) {
        stopLoop();
        setStatus(Parcelio::tr("此快递已被删除,循环查询已停止.."));
    } else if (watchMode == WatchMode::Timed) {
        stopTimed();
        setStatus(Parcelio::tr("此快递已被删除,定时查询已停止.."));
    } else {
        return false;
    }
    return true;
}

void Form1::watchCommand(int index)
{
    auto stopLoop = [this] { this->stopLoop(); };
    auto stopTimed = [this] { this->stopTimed(); };
    // The refusals of both start buttons, each mode with its own texts.
    auto mayStart = [this](const QString &notQueried, bool noTime, const QString &setTime) {
        if (Text1->currentText().isEmpty() || CurrentParcel.status == Status::Unknown)
            msg(notQueried);
        else if (noTime)
            msg(setTime);
        else if (isDelivered(CurrentParcel.status))
            msg(Parcelio::tr("当前快递已签收,您不需要使用此功能"));
        else
            return true;
        return false;
    };
    // Leaving a frame stops its mode, after asking when it runs.
    auto switchFrame = [this](QGroupBox *from, QGroupBox *to, bool running, const QString &ask) {
        if (running && msg(ask, MessageBox::YesNo) != MessageBox::AnswerYes)
            return false;
        to->move(from->pos());
        to->show();
        from->hide();
        return true;
    };

    switch (index) {
    case 16: // loop start/stop
        if (watchMode != WatchMode::Loop) {
            if (mayStart(Parcelio::tr("请先查询单号后在使用本功能!"), Combo4->currentText().isEmpty(),
                         Parcelio::tr("请先设定时间!"))) {
                lockControls(Hold::WatchMode);
                Combo4->setEnabled(false);
                watchMode = WatchMode::Loop;
                Command1(16)->setText(LoopRunning());
                Timer6->start();
                loopMinutes = 0;
            }
        } else {
            stopLoop();
        }
        break;
    case 15: // to the timed frame
        if (switchFrame(Frame6, Frame4, watchMode == WatchMode::Loop,
                        Parcelio::tr("当前正在循环查询,是否终止?")))
            stopLoop();
        break;
    case 18: // timed start/stop
        if (watchMode != WatchMode::Timed) {
            if (mayStart(Parcelio::tr("请先查询单号后在使用定时功能!"),
                         Combo2->currentText().isEmpty() || Combo3->currentText().isEmpty(),
                         Parcelio::tr("请设定查询时间!"))) {
                lockControls(Hold::WatchMode);
                Combo2->setEnabled(false);
                Combo3->setEnabled(false);
                watchMode = WatchMode::Timed;
                Command1(18)->setText(TimedArmed());
                Timer4->start();
            }
        } else {
            stopTimed();
        }
        break;
    case 17: // to the loop frame
        if (switchFrame(Frame4, Frame6, watchMode == WatchMode::Timed,
                        Parcelio::tr("当前正在定时查询,是否终止?")))
            stopTimed();
        break;
    default: break;
    }
}

bool Form1::watchModeRuns() const
{
    return watchMode == WatchMode::Loop || watchMode == WatchMode::Timed;
}

void Form1::Timer6_Timer()
{
    if (watchMode != WatchMode::Loop)
        return;
    const int every = leadingNumber(Combo4->currentText());
    if (every <= 0) // no interval: the start refuses that, so never here
        return;
    if (++loopMinutes < every)
        return;
    // Counting restarts at the firing tick, so the cadence stays N minutes
    // even when a query takes long. A tick that comes due while an earlier
    // query still waits starts no second one.
    loopMinutes = 0;
    // Nor while the user's own query waits (the add panel's too): the
    // re-query would load its parcel over the one being asked about.
    if (rerunGuard > 0 || features().queryFallback().userQueryRuns())
        return;
    // Removed beside the window: there is nothing left to ask about.
    if (watchedParcelGone()) {
        stopWatchForRemovedParcel();
        return;
    }
    // A held or rested number is not asked by the loop; the next tick looks again.
    if (automaticQueryWaits())
        return;
    chooseWatchedEntry();
    const Holding rerun(rerunGuard);
    Text1_Click();
}

void Form1::Timer4_Timer()
{
    // A user's query waiting at the chosen time delays it by a tick or two.
    if (watchMode != WatchMode::Timed || !Timer4->isActive() || rerunGuard > 0 || features().queryFallback().userQueryRuns())
        return;
    const QTime t = now().time();
    if (t.hour() != leadingNumber(Combo2->currentText()) ||
        t.minute() != leadingNumber(Combo3->currentText()))
        return;
    if (watchedParcelGone()) {
        stopWatchForRemovedParcel();
        return;
    }
    // Off before the query: its wait must not let the same minute fire it
    // again. The caption and the lock stay until the user unlocks.
    Timer4->stop();
    // Held or rested at the chosen time: said, and not asked.
    if (automaticQueryWaits())
        return;
    chooseWatchedEntry();
    const Holding rerun(rerunGuard);
    Text1_Click();
}
