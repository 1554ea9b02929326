#include "app/Form1.h"
#include "app/Features.h"
#include "book/PickupLine.h"
#include "app/Tr.h"
#include "tracking/Progress.h"
#include "tracking/Reply.h"

namespace {
const QColor Red(255, 0, 0);
} // namespace

void Form1::Timer1_Timer()
{
    ListView1->setEnabled(true);

    // The reading's events as read, never more than the display's count.
    const QList<ProgressEntry> entries = CurrentService.reading.entries.mid(0, eventCount);
    // As the reading decided it, from the service's codes and the words.
    const Status status = CurrentService.reading.status;
    QList<QTreeWidgetItem *> rows;
    rows.reserve(entries.size());
    for (const ProgressEntry &e : entries)
        rows.append(new QTreeWidgetItem(QStringList{QString::number(e.sequence), e.time, e.context}));
    ListView1->addTopLevelItems(rows);
    Timer1->stop();

    const int count = ListView1->topLevelItemCount();
    if (count > 0) {
        QTreeWidgetItem *newest = ListView1->topLevelItem(0);
        for (int c = 0; c < 3; ++c) {
            newest->setForeground(c, Red);
            QFont f = newest->font(c);
            f.setBold(true);
            newest->setFont(c, f);
        }
    }
    ql();
    shownCount = qint16(qMin(count, 32767));

    AniGIF1->hide();
    Timer7->stop();
    setStatus(Parcelio::tr("查询完毕..."));
    Label12(7)->setText(CurrentParcel.company);

    unlockControls();

    if (count > 0) {
        QTreeWidgetItem *newest = ListView1->topLevelItem(0);
        QTreeWidgetItem *oldest = ListView1->topLevelItem(count - 1);
        ListView1->setCurrentItem(oldest);

        showStatus(status);
        // A signed parcel is timed from its first to its last event, any
        // other from its first event to now.
        const qint64 seconds = status == Status::Signed ? secondsBetween(oldest->text(1), newest->text(1))
                                                        : secondsBetween(oldest->text(1), now());
        CurrentParcel.transit = durationText(seconds);
        CurrentParcel.newest = {newest->text(1), newest->text(2)};
        Label12(5)->setText(CurrentParcel.transit);
    }
    features().pickupLine().show();
    Timer1->stop();
    gxtj();
}

void Form1::showStatus(Status status)
{
    // The user's own mark stands over what the service says.
    if (const auto row = shownBookRow(); row && !row->life.picked.isEmpty())
        status = Status::PickedUp;
    CurrentParcel.status = status;
    Label12(2)->setText(shownStatus(status));
}
