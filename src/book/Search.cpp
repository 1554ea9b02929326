// The search panel: saved parcels by number or goods, exact or partial.
// The hits replace the list, followed by the two entries that bring the
// full list back.
#include "app/Form1.h"

int Form1::listSearchHits(bool byNumber, bool partial, const QString &text)
{
    // Partial searches ignore blanks around the text; exact ones take it as
    // typed. Values are bound, so a quote is searched for like any letter.
    const QString trimmed = text.trimmed();
    const QList<ParcelEntry> hits =
        partial ? (byNumber ? db.entriesByNumberLike(trimmed) : db.entriesByGoodsLike(trimmed))
                : (byNumber ? db.entriesByNumber(text) : db.entriesByGoods(text));
    if (!db.error().isEmpty())
        return -1;
    Text1->clear();
    addListEntries(hits);
    listShowsBook = false;
    return int(hits.size());
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
        msg(byNumber ? QStringLiteral("请输入快递单号..") : QStringLiteral("请输入快递物品.."));
        return;
    }
    const int found = listSearchHits(byNumber, partial, text);
    if (found < 0) {
        msg(db.error());
        return;
    }
    if (found == 0) {
        msg(QStringLiteral("没有找到相关快递"));
        setStatus(QStringLiteral("没有找到相关快递.."));
        return;
    }
    kdmenu(3)->hide();
    msg(partial ? QStringLiteral("已为您找到%1个相关快递").arg(found)
                : QStringLiteral("已为您找到相关快递"));
    // The first hit is loaded and queried before the way back is offered.
    setListIndex(0);
    addSentinelEntries();
}
