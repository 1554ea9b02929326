// The courier directory: the companies with their telephone numbers, a live
// search, quick picks, and the choice of a company for the add or edit panel.
#include "app/Form1.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "app/Layout.h"

namespace {
const QColor QuickPickHover(166, 0, 169);
} // namespace

using namespace layout;

void Form1::buildCourierPanel()
{
    Panel *p = makePanel(4, Parcelio::tr("快递公司列表"), 9015, 6615);
    Label17 = panelTitle(4);
    Label17->setObjectName(QStringLiteral("Label17"));
    Label18 = label(p, QStringLiteral("Label18"), Parcelio::tr("搜索："), QRect(20, 50, 44, 26));
    Text8 = placed<QLineEdit>(p, QStringLiteral("Text8"), QRect(66, 48, 210, 28));
    Command4 =
        placed<QPushButton>(p, QStringLiteral("Command4"), QRect(284, 47, 64, 30), Parcelio::tr("刷新"));

    Picture3 = placed<QFrame>(p, QStringLiteral("Picture3"), QRect(10, 84, p->width() - 20, 24));
    Picture3->setMouseTracking(true);
    Picture3->installEventFilter(this);
    Label19 = label(Picture3, QStringLiteral("Label19"), Parcelio::tr("常用："), QRect(10, 2, 44, 20));
    const struct {
        int i;
        const char *text;
        int left;
    } picks[] = {{0, "顺丰快递", 840}, {1, "申通快递", 1800}, {2, "中通", 2760}, {3, "圆通", 3840},
                 {4, "韵达", 5040},    {5, "全峰", 5640},     {6, "天天", 6240}, {7, "宅急送", 7440},
                 {8, "汇通", 6840},    {9, "京东", 4440},     {10, "EMS", 3360}};
    for (const auto &q : picks) {
        const int chars = QString::fromUtf8(q.text).size();
        auto *w = label(Picture3, idx("Label20", q.i), QString::fromUtf8(q.text),
                        QRect(twips(q.left), 2, q.i == 10 ? 34 : chars * 14 + 2, 20));
        w->setCursor(Qt::PointingHandCursor);
        w->setMouseTracking(true);
        Label20.set(q.i, w);
    }

    ListView2 =
        placed<ListView>(p, QStringLiteral("ListView2"), QRect(10, 114, p->width() - 20, p->height() - 124));
    ListView2->setFont(yahei(10.5));
    ListView2->setColumnCount(3);
    ListView2->setHeaderLabels({Parcelio::tr("序号"), Parcelio::tr("快递公司（ 双击选择 ）"),
                                Parcelio::tr("公司电话（ 右键复制 ）")});
    ListView2->setRootIsDecorated(false);
    ListView2->setUniformRowHeights(true);
    ListView2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView2->setColumnWidth(0, 96);
    ListView2->setColumnWidth(1, 180);
    ListView2->setColumnWidth(2, 200);
    Picture3->setAttribute(Qt::WA_NoMousePropagation); // as the other containers
    LockHeader(ListView2);
    ListView2->setEditTriggers(QAbstractItemView::NoEditTriggers);

    connect(Text8, &QLineEdit::textChanged, this, &Form1::Text8_Change);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    for (const auto &[i, l] : Label20) {
        const int n = i;
        connect(l, &Label::clicked, this, [this, n] { Label20_Click(n); });
        connect(l, &Label::moved, this, [this, n] { Label20_MouseMove(n); });
    }
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this, [this] { ListView2_DblClick(); });
    connect(ListView2, &ListView::mousePressed, this, &Form1::ListView2_MouseDown);
}

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
    ListView2->headerItem()->setText(1, Parcelio::tr("快递公司（双击选择）"));
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

void Form1::chooseCourier(QPushButton *button, const QString &name)
{
    (button == Command1(8) ? editCourier : addCourier) = name;
    button->setText(name.isEmpty() ? Parcelio::tr("请选择快递公司") : name);
}

void Form1::ListView2_DblClick()
{
    QTreeWidgetItem *item = ListView2->currentItem();
    if (!item)
        return;
    if (kdmenu(0)->isVisible()) {
        chooseCourier(Command1(12), item->text(1));
        kdmenu(4)->hide();
    } else if (kdmenu(2)->isVisible()) {
        chooseCourier(Command1(8), item->text(1));
        kdmenu(4)->hide();
    }
    // Also while only browsing: the code follows the last company chosen.
    if (const std::optional<qint64> id = rowIdOf(item->text(0)))
        if (const auto row = store().courierById(*id))
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
    setStatus(item->text(1) + Parcelio::tr("公司电话已复制.."));
}
