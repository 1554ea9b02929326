// The edit panel: change, copy and delete the shown parcel. Change and
// delete act on the row that was last loaded (CurrentParcel.id), the one the
// panel shows, whatever the list has been refilled with since.
#include "app/Form1.h"
#include "app/Features.h"
#include "tracking/PhoneDigits.h"
#include "store/Store.h"
#include "app/Layout.h"
#include "app/Text.h"
#include "tracking/Intake.h"
#include "tracking/Service.h"
#include "app/Tr.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
QString NothingChanged()
{
    return Parcelio::tr("没有做任何改动!");
}
} // namespace

using namespace layout;

void Form1::buildEditPanel()
{
    // Taller than it was by one row at the bottom, for the phone digits.
    Panel *p = makePanel(2, Parcelio::tr("单号操作"), 5295, 4635);
    label(p, QStringLiteral("Label10"), Parcelio::tr("快递单号："), QRect(20, 56, 76, 24));
    Text4 = placed<QLineEdit>(p, QStringLiteral("Text4"), QRect(100, 52, 230, 28));
    label(p, QStringLiteral("Label13"), Parcelio::tr("快递公司："), QRect(20, 94, 76, 24));
    commandButton(p, 8, Parcelio::tr("请选择快递公司"), QRect(100, 90, 230, 30));
    label(p, QStringLiteral("Label14"), Parcelio::tr("快递物品："), QRect(20, 134, 76, 24));
    Text6 = placed<QLineEdit>(p, QStringLiteral("Text6"), QRect(100, 130, 230, 28));
    const struct {
        int i;
        const char *text;
        int left;
    } buttons[] = {{9, QT_TRANSLATE_NOOP("Parcelio", "修改"), 20},
                   {10, QT_TRANSLATE_NOOP("Parcelio", "复制"), 124},
                   {11, QT_TRANSLATE_NOOP("Parcelio", "删除"), 228}};
    for (const auto &b : buttons)
        commandButton(p, b.i, Parcelio::tr(b.text), QRect(b.left, 176, 100, 32));
    Command5 = placed<QPushButton>(p, QStringLiteral("Command5"), QRect(20, 220, 308, 32),
                                   Parcelio::tr("快递数据清空"));

    features().phoneDigits().buildEditRow();

    connect(Text4, &QLineEdit::textChanged, this, &Form1::Text4_Change);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
}

void Form1::Text4_Change()
{
    // A letter-digit number the add panel took is shown here to be edited.
    if (!isNumeric(Text4->text()) && !isLetterDigitNumber(Text4->text()))
        Text4->clear();
}

void Form1::Command5_Click()
{
    bool ok = false;
    const int position = chosenIndex.toInt(&ok);
    if (!ok || position < 0) {
        setStatus(Parcelio::tr("请先选择快递.."));
        return;
    }
    if (msg(Parcelio::tr("此操作将清空快递数据,并重新进行获取,是否继续?"), MessageBox::YesNo) !=
        MessageBox::AnswerYes)
        return;
    // The loaded parcel, the one the edit panel shows, not the entry that
    // now stands at its old list position.
    const QString id = CurrentParcel.id;
    const std::optional<qint64> key = rowIdOf(id);
    if (const auto row = key ? db.parcelById(*key) : RowLookup<ParcelRecord>{}; !row) {
        msg(row.outcome == RowLookup<ParcelRecord>::Missing ? Parcelio::tr("信息数据不存在!")
                                                            : Parcelio::tr("初始化失败,没有做任何改动!"));
        return;
    }
    // The kept progress goes with the count.
    if (!db.resetParcel(*key)) {
        msg(Parcelio::tr("初始化失败,没有做任何改动!"));
        return;
    }
    CurrentParcel.num = QStringLiteral("0");
    setEntryState(*key, EntryState{});
    msg(Parcelio::tr("初始化成功!"));
    // Reload with the cleared count, so every event counts as news.
    Text1_Click();
    const int entry = entryPositionOf(id);
    if (entry >= 0) {
        Text1->setItemText(entry, Text6->text());
        setListIndex(entry);
    }
}

void putOnClipboard(const QString &text)
{
    QClipboard *clip = QGuiApplication::clipboard();
    clip->clear();
    clip->setText(text);
}

void Form1::changeParcel()
{
    if (Text4->text().isEmpty()) {
        msg(Parcelio::tr("请输入单号!"));
        return;
    }
    if (editCourier.isEmpty()) {
        msg(Parcelio::tr("请选择快递公司!"));
        return;
    }
    if (Text6->text().isEmpty()) {
        msg(Parcelio::tr("请输入物品信息!"));
        return;
    }
    const QString phone = features().phoneDigits().typedToEdit();
    if (!phone.isEmpty() && !isPhoneDigits(phone)) {
        msg(Parcelio::tr("手机尾号应为四位数字"));
        return;
    }
    if (phone.isEmpty()) {
        const QList<CourierRecord> couriers = db.couriersByName(editCourier);
        if (!couriers.isEmpty() && trackingService().needsPhone(couriers.first().code)) {
            msg(ServiceText::PhoneNeeded());
            return;
        }
    }
    const QString listText = Text1->currentText();
    if (msg(Parcelio::tr("确定要修改[") + listText + Parcelio::tr("]此单号码?"), MessageBox::YesNo) !=
        MessageBox::AnswerYes)
        return;

    const QString id = CurrentParcel.id;
    const std::optional<qint64> key = rowIdOf(id);
    const auto row = key ? db.parcelById(*key) : RowLookup<ParcelRecord>{};
    if (!row) {
        // Either the row is gone or no parcel is loaded: nothing is written,
        // and the list is not rewritten for a row that does not exist.
        msg(row.outcome == RowLookup<ParcelRecord>::Missing
                ? Parcelio::tr("信息数据不存在!")
                : Parcelio::tr("快递信息修改失败,") + NothingChanged());
        return;
    }
    if (!db.updateParcel(*key, editCourier, Text6->text(), Text4->text(), &phone)) {
        msg(Parcelio::tr("快递信息修改失败,") + NothingChanged());
        return;
    }
    // Another number or courier: the store forgot the old one's progress.
    if (row->number != Text4->text() || row->company != editCourier)
        setEntryState(*key, EntryState{});
    features().phoneDigits().setShown(phone);
    msg(Parcelio::tr("快递信息修改成功!"));
    // What is saved now, also when the list no longer holds the parcel.
    CurrentParcel.company = editCourier;
    CurrentParcel.goods = Text6->text();
    CurrentParcel.number = Text4->text();
    // Reload and query the changed row, then show its new goods text in the
    // parcel's own entry and choose it again (which loads and queries it once more).
    Text1_Click();
    const int position = entryPositionOf(id);
    if (position >= 0) {
        Text1->setItemText(position, Text6->text());
        setListIndex(position);
    }
    kdmenu(2)->hide();
}

void Form1::copyParcel()
{
    if (Text1->currentText().isEmpty()) {
        setStatus(Parcelio::tr("请先选择快递.."));
        return;
    }
    // What is saved, not what is typed into the panel's boxes.
    const QString text = Parcelio::tr("快递物品：") + CurrentParcel.goods + QStringLiteral("\r\n") +
                         Parcelio::tr("快递公司：") + CurrentParcel.company + QStringLiteral("\r\n") +
                         Parcelio::tr("快递单号：") + CurrentParcel.number;
    putOnClipboard(text);
    setStatus(Parcelio::tr("当前快递信息已复制.."));
}

void Form1::deleteChosenParcel()
{
    if (msg(Parcelio::tr("确定要删除[") + Text1->currentText() + Parcelio::tr("]此单号码?"),
            MessageBox::YesNo) != MessageBox::AnswerYes)
        return;
    if (const std::optional<qint64> id = rowIdOf(CurrentParcel.id); !id || !db.deleteParcel(*id)) {
        // The list keeps showing what is still saved.
        msg(Parcelio::tr("快递信息删除失败,") + NothingChanged());
        return;
    }
    // Its events stay on show, but nothing can act on the row any more.
    CurrentParcel.id.clear();
    msg(Parcelio::tr("快递信息已删除!"));
    sX();
    kdmenu(2)->hide();
    // Without the setting, nothing is shown (the refill cleared it).
    if (Check7->isChecked() && Text1->count() > 0)
        setListIndex(0);
}
