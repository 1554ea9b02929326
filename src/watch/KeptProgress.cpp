// Each parcel's last good progress: kept after every successful query and
// shown in place of a fresh reply when the service gives no readable answer.
#include "watch/QueryFallback.h"

#include "app/Form1.h"
#include "app/Desktop.h"
#include "app/Features.h"
#include "book/PickupLine.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "book/ParcelListModel.h"
#include "tracking/Reply.h"

void QueryFallback::keep(const QString &id, const TrackingReading &reading)
{
    Form1 &w = window;
    bool ok = false;
    const qint64 key = id.toLongLong(&ok);
    if (!ok)
        return;
    if (reading.kind != TrackingReading::Events)
        return; // a failed, unreadable or empty reply keeps what is stored
    // Shown to the user now, so any news of it is seen.
    if (w.store().saveProgress(keptProgressOf(key, reading, w.now())))
        w.setEntryState(key, EntryState{reading.status, false});
}

bool QueryFallback::showKept(const QString &id, const QString &reason)
{
    Form1 &w = window;
    const std::optional<qint64> key = rowIdOf(id);
    const auto kept = key ? w.store().progressOf(*key) : std::nullopt;
    if (!kept || kept->events.isEmpty())
        return false;
    w.ListView1->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(kept->events.size());
    for (int i = 0; i < kept->events.size(); ++i)
        rows.append(new QTreeWidgetItem(
            QStringList{QString::number(i + 1), kept->events.at(i).time, kept->events.at(i).context}));
    w.ListView1->addTopLevelItems(rows);
    // As a fresh reply is shown: the newest row red and bold, the oldest selected.
    QTreeWidgetItem *newest = w.ListView1->topLevelItem(0);
    for (int c = 0; c < 3; ++c) {
        newest->setForeground(c, QColor(255, 0, 0));
        QFont f = newest->font(c);
        f.setBold(true);
        newest->setFont(c, f);
    }
    w.ListView1->setCurrentItem(w.ListView1->topLevelItem(w.ListView1->topLevelItemCount() - 1));
    // As kept: decided when it was read. A status an older book did not keep
    // is read from the words.
    Status status = kept->status;
    if (status == Status::Unknown) {
        QList<ProgressEntry> entries;
        for (const KeptEvent &e : kept->events)
            entries.append({int(entries.size()) + 1, e.time, e.context});
        status = decideStatus(CodedStatus{}, entries);
    }
    w.showStatus(status);
    w.CurrentParcel.transit = transitText(kept->events, status, w.now());
    w.CurrentParcel.newest = kept->events.first();
    w.Label12(5)->setText(w.CurrentParcel.transit);
    w.Label12(7)->setText(w.CurrentParcel.company);
    w.features().pickupLine().show();
    QString line = Parcelio::tr("以下为") + kept->queried.toString(QStringLiteral("yyyy-MM-dd hh:mm")) +
                   Parcelio::tr("查询的结果..");
    if (!reason.isEmpty())
        line = reason + QLatin1Char(' ') + line;
    w.setStatus(line);
    if (kept->unseen) {
        w.store().markSeen(kept->id);
        w.setEntryState(kept->id, EntryState{status, false});
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
