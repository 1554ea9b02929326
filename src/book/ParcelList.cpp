#include "app/Form1.h"
#include "tracking/PhoneDigits.h"
#include "app/Features.h"
#include "book/PickupLine.h"
#include "store/Store.h"
#include "app/Tr.h"

#include "book/ParcelListModel.h"

#include <QEvent>
#include <algorithm>

void Form1::read()
{
    db.changedElsewhere(); // from here on, what others commit is news to the list
    sX();
}

void Form1::sX()
{
    const EntryList rows = db.allEntries();
    if (!db.error().isEmpty())
        return; // the statement failed: keep what the list shows
    // The list always shows exactly the saved parcels, so a deleted last
    // parcel cannot stay selectable.
    Text1->clear();
    addListEntries(rows);
    listShowsBook = true;
    // Nothing is picked after a fill, as with a freshly filled drop-down list.
    Text1->setCurrentIndex(-1);
    // Nor is any parcel shown any more: the header, the events and the
    // station line would speak of one the selector no longer names.
    clearDetails();
}

void Form1::clearDetails()
{
    const QString notQueried = Parcelio::tr("未查询");
    // The row last loaded stays the edit panel's; nothing shows it.
    CurrentParcel.shown = false;
    CurrentParcel.status = Status::Unknown;
    CurrentParcel.newest = {};
    CurrentParcel.transit.clear();
    CurrentService.reading = TrackingReading{};
    Timer1->stop();
    eventCount = 0;
    ListView1->clear();
    for (int i : {2, 3, 5, 7})
        Label12(i)->setText(notQueried);
    setTextColour(Label12(3), Qt::white);
    features().pickupLine().show();
}

void Form1::refillIfBookChanged()
{
    if (!listShowsBook || !Text1->isEnabled())
        return;
    const EntryList rows = db.allEntries();
    if (!db.error().isEmpty())
        return;
    auto *model = qobject_cast<ParcelListModel *>(Text1->model());
    if (!model || rows == model->entries())
        return;
    const QVariant chosen = Text1->currentData();
    Text1->clear();
    addListEntries(rows);
    Text1->setCurrentIndex(-1);
    // Positions moved: the chosen parcel is found by its row, and chosen
    // again without a new query.
    const int at = chosen.isValid() ? entryPositionOf(QString::number(chosen.toLongLong())) : -1;
    if (at >= 0) {
        Text1->setCurrentIndex(at);
        lastIndex = qint16(at);
        if (!chosenIndex.isEmpty())
            chosenIndex = QString::number(at);
    }
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Back from a terminal: what a command or the refresh timer did there
    // shows at once, parcels and news marks alike.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && db.changedElsewhere()) {
        if (watchModeRuns() && rerunGuard == 0 && watchedParcelGone())
            stopWatchForRemovedParcel();
        refillIfBookChanged();
        refreshEntryStates();
    }
}

void Form1::addListEntries(const EntryList &entries)
{
    if (auto *model = qobject_cast<ParcelListModel *>(Text1->model())) {
        model->append(entries);
        return;
    }
    for (qsizetype i = 0; i < entries.size(); ++i)
        Text1->addItem(entries.goodsAt(i), entries.idAt(i));
}

void Form1::addListEntries(const QList<ParcelEntry> &entries)
{
    if (auto *model = qobject_cast<ParcelListModel *>(Text1->model())) {
        model->append(entries);
        return;
    }
    for (const ParcelEntry &e : entries)
        Text1->addItem(e.goods, e.id);
}

void Form1::addSentinelEntries()
{
    Text1->addItem(QString::fromUtf8(Sentinel));
    Text1->addItem(Parcelio::tr(RefreshEntry));
}

int Form1::entryPositionOf(const QString &id) const
{
    bool ok = false;
    const qlonglong wanted = id.toLongLong(&ok);
    if (!ok)
        return -1;
    for (int i = 0; i < Text1->count(); ++i) {
        const QVariant data = Text1->itemData(i);
        if (data.isValid() && data.toLongLong() == wanted)
            return i;
    }
    return -1;
}

void Form1::setListIndex(int index)
{
    // setCurrentIndex emits no "activated", so the handler runs exactly once,
    // also for the position already selected.
    Text1->setCurrentIndex(index);
    Text1_Click();
}

void Form1::Text1_Click()
{
    hideAllPanels();
    lockControls(Hold::Query);

    // The two entries after a search stand for no parcel: they have no id,
    // so a parcel whose goods read like them is still a parcel.
    const QString text = Text1->currentText();
    if (!Text1->currentData().isValid() &&
        (text == Parcelio::tr(RefreshEntry) || text == QString::fromUtf8(RefreshEntry) ||
         text == QString::fromUtf8(Sentinel))) {
        sX();
        ListView1->clear();
        const bool query = Check7->isChecked() && Text1->count() > 0;
        if (query)
            setListIndex(0);
        setStatus(Parcelio::tr("快递列表已刷新.."));
        if (!query) {
            // No query follows to unlock the window, so the refresh does.
            unlockControls();
        }
        return;
    }

    // Each entry names its own row: of two parcels with the same goods,
    // either can be shown. A text typed in without an entry falls back to
    // the goods it names.
    const QVariant entryId = Text1->currentData();
    std::optional<ParcelRecord> row;
    bool removed = false;
    if (entryId.isValid()) {
        const auto found = db.parcelById(entryId.toLongLong());
        row = found.row;
        removed = found.outcome == RowLookup<ParcelRecord>::Missing;
    } else if (const auto rows = db.findParcels(ParcelField::Goods, Match::Exact, text);
               rows && !rows->isEmpty()) {
        row = rows->first();
    }
    if (removed) {
        // Removed beside the window (by a command): querying would show the
        // parcel shown before under this entry's name.
        sX();
        ListView1->clear();
        setStatus(Parcelio::tr("此快递已被删除,快递列表已刷新.."));
        unlockControls();
        stopWatchForRemovedParcel();
        return;
    }
    if (row) {
        const ParcelRecord &r = *row;
        CurrentParcel.company = r.company;
        CurrentParcel.number = r.number;
        CurrentParcel.goods = r.goods;
        CurrentParcel.num = r.num;
        CurrentParcel.id = QString::number(r.id);
        CurrentParcel.shown = true;
        features().phoneDigits().setShown(db.phoneOf(r.id));
    }
    const QList<CourierRecord> couriers = db.couriersByName(CurrentParcel.company);
    if (!couriers.isEmpty())
        CurrentParcel.code = couriers.first().code;

    const QString notQueried = Parcelio::tr("未查询");
    CurrentParcel.status = Status::Unknown;
    CurrentParcel.newest = {};
    CurrentParcel.transit.clear();
    Label12(7)->setText(notQueried);
    Label12(2)->setText(notQueried);
    Label12(3)->setText(notQueried);
    setTextColour(Label12(3), Qt::white);
    Label12(5)->setText(notQueried);
    features().pickupLine().show();

    const int position = Text1->currentIndex();
    chosenIndex = QString::number(position);
    if (position != lastIndex) {
        shownCount = 0;
        lastIndex = qint16(position);
    }
    cx();
}

std::optional<BookRow> Form1::shownBookRow()
{
    bool ok = false;
    const qint64 id = CurrentParcel.id.toLongLong(&ok);
    if (!ok || !CurrentParcel.shown)
        return std::nullopt;
    return db.bookRow(id);
}
