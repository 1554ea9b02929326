// The ends of a parcel's road the user marks: picked up, and the archive of
// the edit panel and the settings.
#include "book/Archive.h"

#include "app/Features.h"
#include "app/Form1.h"
#include "app/Layout.h"
#include "book/PickupLine.h"
#include "store/Store.h"

using namespace layout;

namespace {
const QString AutoArchiveKey = QString::fromLatin1(Store::AutoArchiveKey);

bool switchOn(const QString &value)
{
    return value == QStringLiteral("是");
}
} // namespace

Archive::Archive(Form1 &window_) : window(window_) {}

void Archive::buildControls()
{
    archiveButton = named<QPushButton>(nullptr, QStringLiteral("archiveButton"), Parcelio::tr("归档"));
    window.hostControl(Form1::HostedPlace::EditTitle, archiveButton);
    archiveButton->setToolTip(Parcelio::tr("归档后不在快递列表和后台查询中出现; 搜索仍能找到它"));
    connect(archiveButton, &QPushButton::clicked, this, &Archive::toggle);

    autoArchiveBox = named<QCheckBox>(nullptr, QStringLiteral("autoArchiveBox"),
                                      Parcelio::tr("签收%1天后归档").arg(Store::AutoArchiveDays));
    autoArchiveBox->setToolTip(
        Parcelio::tr("已签收或已取件的快递%1天后自动归档; 搜索仍能找到它").arg(Store::AutoArchiveDays));
    // Smaller than the panel's font, which it takes when hosted.
    window.hostControl(Form1::HostedPlace::SettingsUnderClock, autoArchiveBox);
    QFont small = autoArchiveBox->font();
    small.setPointSizeF(8);
    autoArchiveBox->setFont(small);
    autoArchiveBox->setChecked(switchOn(window.store().watchSetting(AutoArchiveKey)));
    connect(autoArchiveBox, &QCheckBox::toggled, this, [this](bool on) {
        window.store().writeWatchSetting(AutoArchiveKey, on ? QStringLiteral("是") : QStringLiteral("否"));
        if (on)
            autoArchive();
    });
}

void Archive::autoArchive()
{
    // At start the list is filled next; later it is refilled here.
    if (window.store().autoArchive(window.now()) > 0 && window.isLoaded() && window.listShowsBook &&
        window.Text1->isEnabled())
        window.refillIfBookChanged();
}

void Archive::showShelfOf(const std::optional<BookRow> &row)
{
    if (archiveButton)
        archiveButton->setText(row && !row->life.archived.isEmpty() ? Parcelio::tr("取消归档")
                                                                    : Parcelio::tr("归档"));
}

void Archive::toggle()
{
    const std::optional<BookRow> row = window.shownBookRow();
    if (!row) {
        window.setStatus(Parcelio::tr("请先选择快递.."));
        return;
    }
    const bool archived = !row->life.archived.isEmpty();
    if (!window.store().setArchived(row->parcel.id, archived ? QDateTime() : window.now())) {
        window.setStatus(Parcelio::tr("保存失败.."));
        return;
    }
    window.hideAllPanels();
    if (archived) {
        window.setStatus(Parcelio::tr("「%1」已取消归档..").arg(row->parcel.goods));
    } else {
        window.setStatus(Parcelio::tr("「%1」已归档, 可在搜索中找回..").arg(row->parcel.goods));
    }
    // The list shows the book again: an archived parcel leaves it, one
    // brought back returns to its place.
    if (window.listShowsBook)
        window.refillIfBookChanged();
    // The details follow the selector: a parcel it no longer names is not shown.
    const QVariant chosen = window.Text1->currentData();
    if (!chosen.isValid() || chosen.toLongLong() != row->parcel.id)
        window.clearDetails();
    else
        window.features().pickupLine().show();
}

void PickupLine::markPickedUp()
{
    const std::optional<BookRow> row = window.shownBookRow();
    if (!row)
        return;
    if (!window.store().setPicked(row->parcel.id, window.now())) {
        window.setStatus(Parcelio::tr("保存失败.."));
        return;
    }
    window.setStatus(Parcelio::tr("「%1」已标记为已取件..").arg(row->parcel.goods));
    window.setEntryState(row->parcel.id, EntryState{});
    window.showStatus(Status::PickedUp);
    show();
}
