// Each parcel's last good progress: kept after every successful query and
// shown in place of a fresh reply when the service gives no readable answer.
#include "app/Form1.h"
#include "app/Desktop.h"
#include "app/Features.h"
#include "book/PickupLine.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "book/ParcelListModel.h"
#include "tracking/Reply.h"

void Form1::keepProgress(const QString &id, const TrackingReading &reading)
{
    bool ok = false;
    const qint64 key = id.toLongLong(&ok);
    if (!ok)
        return;
    if (reading.kind != TrackingReading::Events)
        return; // a failed, unreadable or empty reply keeps what is stored
    // Shown to the user now, so any news of it is seen.
    if (db.saveProgress(keptProgressOf(key, reading, now())))
        setEntryState(key, EntryState{reading.status, false});
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
    // As kept: decided when it was read. A status an older book did not keep
    // is read from the words.
    Status status = kept->status;
    if (status == Status::Unknown) {
        QList<ProgressEntry> entries;
        for (const KeptEvent &e : kept->events)
            entries.append({int(entries.size()) + 1, e.time, e.context});
        status = decideStatus(CodedStatus{}, entries);
    }
    showStatus(status);
    CurrentParcel.transit = transitText(kept->events, status, now());
    CurrentParcel.newest = kept->events.first();
    Label12(5)->setText(CurrentParcel.transit);
    Label12(7)->setText(CurrentParcel.company);
    features().pickupLine().show();
    QString line = Parcelio::tr("以下为") + kept->queried.toString(QStringLiteral("yyyy-MM-dd hh:mm")) +
                   Parcelio::tr("查询的结果..");
    if (!reason.isEmpty())
        line = reason + QLatin1Char(' ') + line;
    setStatus(line);
    if (kept->unseen) {
        db.markSeen(kept->id);
        setEntryState(kept->id, EntryState{status, false});
    }
    return true;
}

void Form1::refreshEntryStates()
{
    if (auto *model = qobject_cast<ParcelListModel *>(Text1->model())) {
        model->setBaseFont(Text1->font());
        model->setStates(db.entryStates());
    }
    features().desktop().updateTray();
}

void Form1::setEntryState(qint64 id, const EntryState &state)
{
    auto *model = qobject_cast<ParcelListModel *>(Text1->model());
    if (!model)
        return;
    // The status is the book's: callers tell what they read, the book adds
    // what the user marked.
    EntryState withMarks = state;
    if (const auto row = db.bookRow(id))
        withMarks.status = bookRowStatus(*row);
    model->setState(id, withMarks);
    features().desktop().updateTray();
}
