// The courier directory: the companies with their telephone numbers, a live
// search, quick picks, and the choice of a company for the add or edit panel.
#include "app/Form1.h"

namespace {
const QColor QuickPickHover(166, 0, 169);
} // namespace

void Form1::fillCouriers(const QList<CourierRecord> &rows)
{
    for (const CourierRecord &r : rows) {
        auto *item = new QTreeWidgetItem(ListView2);
        item->setText(0, QString::number(r.id));
        item->setText(1, r.name);
        item->setText(2, r.call);
    }
}

void Form1::kdlb()
{
    // Appends; every caller clears the list first.
    const QList<CourierRecord> rows = store().allCouriers();
    if (rows.isEmpty())
        return;
    fillCouriers(rows);
}

void Form1::openCourierPanel(int buttonIndex)
{
    buildPanels();
    ListView2->headerItem()->setText(1, QStringLiteral("快递公司（双击选择）"));
    ListView2->clear();
    kdlb();
    if (buttonIndex == 8) {
        // The edit panel that holds the button stays open under the list.
        kdmenu(0)->hide();
        kdmenu(1)->hide();
        kdmenu(3)->hide();
    }
    ShowPanel(4);
    kdmenu(4)->raise();
}

void Form1::Text8_Change()
{
    const QString text = Text8->text();
    if (text.isEmpty()) {
        ListView2->clear();
        kdlb();
        return;
    }
    // The text is bound, so a quote is searched for like any letter; % and _
    // still work as wildcards.
    const QList<CourierRecord> rows = store().couriersByNameLike(text.trimmed());
    if (!store().error().isEmpty()) {
        msg(store().error());
        return;
    }
    ListView2->clear();
    fillCouriers(rows);
}

void Form1::Label20_Click(int index)
{
    const QList<CourierRecord> rows = store().couriersByNameLike(Label20(index)->text().trimmed());
    ListView2->clear();
    fillCouriers(rows);
}

void Form1::Label20_MouseMove(int index)
{
    resetQuickPickColours();
    setTextColour(Label20(index), QuickPickHover);
}

void Form1::resetQuickPickColours()
{
    const QColor normal = palette().color(QPalette::ButtonText);
    for (const auto &[i, l] : Label20)
        setTextColour(l, normal);
}

void Form1::Command4_Click()
{
    ListView2->clear();
    kdlb();
}

void Form1::ListView2_DblClick()
{
    QTreeWidgetItem *item = ListView2->currentItem();
    if (!item)
        return;
    if (kdmenu(0)->isVisible()) {
        Command1(12)->setText(item->text(1));
        kdmenu(4)->hide();
    } else if (kdmenu(2)->isVisible()) {
        Command1(8)->setText(item->text(1));
        kdmenu(4)->hide();
    }
    // Also while only browsing: the code follows the last company chosen.
    if (const auto row = store().courierById(item->text(0)))
        CurrentParcel.code = row->code;
}

void Form1::ListView2_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    QTreeWidgetItem *item = ListView2->currentItem();
    if (!item || !item->isSelected())
        return;
    putOnClipboard(item->text(2));
    setStatus(item->text(1) + QStringLiteral("公司电话已复制.."));
}
