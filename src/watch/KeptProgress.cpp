// Each parcel's last good progress: kept after every successful query and
// shown in place of a fresh reply when the service gives no readable answer.
#include "app/Form1.h"
#include "app/Tr.h"
#include "book/ParcelListModel.h"
#include "tracking/Reply.h"

void Form1::keepProgress(const QString &id, const QString &reply)
{
    bool ok = false;
    const qint64 key = id.toLongLong(&ok);
    if (!ok)
        return;
    TrackingReading reading = readTrackingReply(reply);
    // The service's own state of the query this reply came from.
    reading.service = CurrentService.service;
    reading.state = decidedState(reading.state, reading.service);
    if (reading.kind != TrackingReading::Events)
        return; // a failed, unreadable or empty reply keeps what is stored
    // Shown to the user now, so any news of it is seen.
    if (db.saveProgress(keptProgressOf(key, reading, now())))
        setEntryState(key, EntryState{reading.state == ParcelState::Signed, false});
}

bool Form1::showKeptProgress(const QString &id, const QString &reason)
{
    const auto kept = db.progressOf(id);
    if (!kept || kept->events.isEmpty())
        return false;
    ListView1->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(kept->events.size());
    for (int i = 0; i < kept->events.size(); ++i)
        rows.append(new QTreeWidgetItem(
            QStringList{QString::number(i + 1), kept->events.at(i).time, kept->events.at(i).context}));
    ListView1->addTopLevelItems(rows);
    // As a fresh reply is shown: the newest row red and bold, the oldest selected.
    QTreeWidgetItem *newest = ListView1->topLevelItem(0);
    for (int c = 0; c < 3; ++c) {
        newest->setForeground(c, QColor(255, 0, 0));
        QFont f = newest->font(c);
        f.setBold(true);
        newest->setFont(c, f);
    }
    ListView1->setCurrentItem(ListView1->topLevelItem(ListView1->topLevelItemCount() - 1));
    // As kept: a service's own state is not in the words.
    const ParcelState state =
        kept->state == parcelStateText(ParcelState::Signed) ? ParcelState::Signed : stateOf(kept->events);
    showState(kept->state.isEmpty() ? parcelStateText(state) : kept->state);
    Label12(5)->setText(transitText(kept->events, state, now()));
    Label12(7)->setText(CurrentParcel.company);
    showPickupLine();
    QString line = Parcelio::tr("以下为") + kept->queried.toString(QStringLiteral("yyyy-MM-dd hh:mm")) +
                   Parcelio::tr("查询的结果..");
    if (!reason.isEmpty())
        line = reason + QLatin1Char(' ') + line;
    setStatus(line);
    if (kept->unseen) {
        db.markSeen(kept->id);
        setEntryState(kept->id, EntryState{state == ParcelState::Signed, false});
    }
    return true;
}

void Form1::refreshEntryStates()
{
    if (auto *model = qobject_cast<ParcelListModel *>(Text1->model())) {
        model->setBaseFont(Text1->font());
        model->setStates(db.entryStates());
    }
    updateTray();
}

void Form1::setEntryState(qint64 id, const EntryState &state)
{
    auto *model = qobject_cast<ParcelListModel *>(Text1->model());
    if (!model)
        return;
    // The stage is the book's: callers tell what they read, the book adds
    // what the user marked.
    EntryState withStage = state;
    if (const auto row = db.bookRow(id))
        withStage.stage = bookRowStage(*row);
    model->setState(id, withStage);
    updateTray();
}
