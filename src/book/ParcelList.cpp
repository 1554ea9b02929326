#include "app/Form1.h"

#include "book/ParcelListModel.h"

void Form1::read()
{
    sX();
}

void Form1::sX()
{
    const QList<ParcelEntry> rows = db.allEntries();
    if (!db.error().isEmpty())
        return; // the statement failed: keep what the list shows
    // The list always shows exactly the saved parcels, so a deleted last
    // parcel cannot stay selectable.
    Text1->clear();
    addListEntries(rows);
    // Nothing is picked after a fill, as with a freshly filled drop-down list.
    Text1->setCurrentIndex(-1);
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
    Text1->addItem(QString::fromUtf8(RefreshEntry));
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

    const QString text = Text1->currentText();
    if (text == QString::fromUtf8(RefreshEntry) || text == QString::fromUtf8(Sentinel)) {
        sX();
        ListView1->clear();
        const bool query = Check7->isChecked() && Text1->count() > 0;
        if (query)
            setListIndex(0);
        setStatus(QStringLiteral("快递列表已刷新.."));
        if (!query) {
            // No query follows to unlock the window, so the refresh does.
            unlockControls();
        }
        return;
    }

    // Each entry names its own row: of two parcels with the same goods,
    // either can be shown. An entry without an id (none is made so today)
    // falls back to its goods text.
    const QVariant entryId = Text1->currentData();
    std::optional<ParcelRecord> row;
    if (entryId.isValid()) {
        row = db.parcelById(QString::number(entryId.toLongLong())).row;
    } else if (const auto rows = db.findParcels(ParcelField::Goods, Match::Exact, text);
               rows && !rows->isEmpty()) {
        row = rows->first();
    }
    if (row) {
        const ParcelRecord &r = *row;
        CurrentParcel.company = r.company;
        CurrentParcel.number = r.number;
        CurrentParcel.goods = r.goods;
        CurrentParcel.num = r.num;
        CurrentParcel.id = QString::number(r.id);
    }
    const QList<CourierRecord> couriers = db.couriersByName(CurrentParcel.company);
    if (!couriers.isEmpty())
        CurrentParcel.code = couriers.first().code;

    const QString notQueried = QStringLiteral("未查询");
    Label12(7)->setText(notQueried);
    Label12(2)->setText(notQueried);
    Label12(3)->setText(notQueried);
    setTextColour(Label12(3), Qt::white);
    Label12(5)->setText(notQueried);

    const int position = Text1->currentIndex();
    chosenIndex = QString::number(position);
    if (position != lastIndex) {
        shownCount = 0;
        lastIndex = qint16(position);
    }
    cx();
}

