// Mouse actions on the progress list: a balloon hint on click, a copy on
// double click, the enlarged-text overlay on a right-button press.
#include "app/Balloon.h"
#include "app/Tr.h"
#include "app/Form1.h"

namespace {
// The selected row when it is a real event row (its number is not empty).
QTreeWidgetItem *usableRow(QTreeWidget *list)
{
    const QList<QTreeWidgetItem *> rows = list->selectedItems();
    if (rows.isEmpty() || rows.first()->text(0).isEmpty())
        return nullptr;
    return rows.first();
}

QString rowText(const QTreeWidgetItem *row)
{
    return row->text(1) + QLatin1Char(' ') + row->text(2);
}

void refuse(Form1 &w)
{
    w.setStatus(Parcelio::tr("当前没有物流信息"));
}
} // namespace

void Form1::ListView1_Click()
{
    if (!Check6->isChecked())
        return;
    const QTreeWidgetItem *row = usableRow(ListView1);
    if (!row)
        return refuse(*this);
    if (!rowTip)
        rowTip = std::make_unique<Class1>();
    rowTip->ParentControl(ListView1);
    rowTip->ToolTipTitle(Parcelio::tr("物流跟踪信息"));
    rowTip->ToolTipText(Parcelio::tr("时间:") + row->text(1) + QStringLiteral("\r\n") +
                        Parcelio::tr("物流进度:") + row->text(2));
    rowTip->Create();
}

void Form1::ListView1_DblClick()
{
    const QTreeWidgetItem *row = usableRow(ListView1);
    if (!row)
        return refuse(*this);
    putOnClipboard(rowText(row));
    setStatus(Parcelio::tr("单条物流进度已复制.."));
}

void Form1::ListView1_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    const QTreeWidgetItem *row = usableRow(ListView1);
    if (!row)
        return refuse(*this);
    Picture5->setGeometry(0, 0, width(), height());
    Label23->setGeometry(Picture5->rect());
    Picture5->show();
    // Over the panels too: it covers the whole window.
    Picture5->raise();
    Label23->setText(rowText(row));
}
