// The search panel: saved parcels by number or goods, exact or partial.
// The hits replace the list, followed by the two entries that bring the
// full list back.
#include "app/Form1.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "app/Layout.h"
#include "app/Text.h"
#include "tracking/Intake.h"

#include <QButtonGroup>

using namespace layout;

void Form1::buildSearchPanel()
{
    Panel *p = makePanel(3, Parcelio::tr("搜索快递"), 4455, 4335);
    auto *field = new QButtonGroup(p);
    auto *match = new QButtonGroup(p);
    const struct {
        ControlArray<QRadioButton> *arr;
        QButtonGroup *group;
        const char *base;
        int i;
        const char *text;
        int x;
        int y;
    } opts[] = {{&Option1, field, "Option1", 0, QT_TRANSLATE_NOOP("Parcelio", "使用单号查询"), 20, 56},
                {&Option1, field, "Option1", 1, QT_TRANSLATE_NOOP("Parcelio", "使用物品名称查询"), 148, 56},
                {&Option2, match, "Option2", 0, QT_TRANSLATE_NOOP("Parcelio", "精准查询"), 20, 92},
                {&Option2, match, "Option2", 1, QT_TRANSLATE_NOOP("Parcelio", "模糊查询"), 148, 92}};
    for (const auto &o : opts) {
        auto *r = named<QRadioButton>(p, idx(o.base, o.i), Parcelio::tr(o.text));
        r->setGeometry(o.x, o.y, 130, 26);
        o.group->addButton(r);
        o.arr->set(o.i, r);
    }
    Text7 = placed<QLineEdit>(p, QStringLiteral("Text7"), QRect(20, 134, p->width() - 40, 30));
    commandButton(p, 14, Parcelio::tr("开始搜索"), QRect(20, 182, p->width() - 40, 36));

    connect(Text7, &QLineEdit::textChanged, this, &Form1::Text7_Change);
}

void Form1::Text7_Change()
{
    if (Option1(0)->isChecked() && !isNumeric(Text7->text()) && !isLetterDigitNumber(Text7->text()))
        Text7->clear();
}

int Form1::listSearchHits(bool byNumber, bool partial, const QString &text)
{
    // Partial searches ignore blanks around the text; exact ones take it as
    // typed. Values are bound, so a quote is searched for like any letter.
    const QString trimmed = text.trimmed();
    const auto hits = db.findEntries(byNumber ? ParcelField::Number : ParcelField::Goods,
                                     partial ? Match::Partial : Match::Exact, partial ? trimmed : text);
    if (!hits)
        return -1;
    Text1->clear();
    addListEntries(*hits);
    listShowsBook = false;
    return int(hits->size());
}

void Form1::searchParcels()
{
    bool partial = false;
    if (Option2(1)->isChecked())
        partial = true;
    else if (!Option2(0)->isChecked())
        return;
    bool byNumber = false;
    if (Option1(0)->isChecked())
        byNumber = true;
    else if (!Option1(1)->isChecked())
        return;

    const QString text = Text7->text();
    if (text.isEmpty()) {
        msg(byNumber ? Parcelio::tr("请输入快递单号..") : Parcelio::tr("请输入快递物品.."));
        return;
    }
    const int found = listSearchHits(byNumber, partial, text);
    if (found < 0) {
        msg(db.error());
        return;
    }
    if (found == 0) {
        msg(Parcelio::tr("没有找到相关快递"));
        setStatus(Parcelio::tr("没有找到相关快递.."));
        return;
    }
    kdmenu(3)->hide();
    msg(partial ? Parcelio::tr("已为您找到%1个相关快递").arg(found) : Parcelio::tr("已为您找到相关快递"));
    // The first hit is loaded and queried before the way back is offered.
    setListIndex(0);
    addSentinelEntries();
}
