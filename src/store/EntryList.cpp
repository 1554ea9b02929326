#include "store/Records.h"

EntryList::Row EntryList::placed(qint64 id, QByteArrayView goods)
{
    // A text of this list itself would move as the texts grow.
    if (goods.data() >= texts.constData() && goods.data() < texts.constData() + texts.size()) {
        const QByteArray copy = goods.toByteArray();
        return placed(id, copy);
    }
    const Row r{id, qint32(texts.size()), qint32(goods.size())};
    texts.append(goods);
    return r;
}

void EntryList::appendUtf8(qint64 id, QByteArrayView goods)
{
    rows.append(placed(id, goods));
}

void EntryList::append(const QList<ParcelEntry> &entries)
{
    rows.reserve(rows.size() + entries.size());
    for (const ParcelEntry &e : entries)
        append(e.id, e.goods);
}

void EntryList::append(const EntryList &other)
{
    // Into an empty list: shared, not copied.
    if (rows.isEmpty()) {
        *this = other;
        return;
    }
    rows.reserve(rows.size() + other.size());
    for (qsizetype i = 0; i < other.size(); ++i)
        appendUtf8(other.idAt(i), other.utf8At(i));
}

void EntryList::insert(qsizetype at, qsizetype count)
{
    rows.insert(at, count, Row{0, qint32(texts.size()), 0});
}

void EntryList::remove(qsizetype at, qsizetype count)
{
    rows.remove(at, count);
    if (rows.isEmpty())
        texts.clear(); // the texts of changed entries go too
}

void EntryList::setGoods(qsizetype i, QStringView goods)
{
    rows[i] = placed(rows.at(i).id, goods.toUtf8());
}

void EntryList::squeeze()
{
    rows.squeeze();
    texts.squeeze();
}

bool EntryList::operator==(const EntryList &other) const
{
    if (size() != other.size())
        return false;
    for (qsizetype i = 0; i < size(); ++i)
        if (idAt(i) != other.idAt(i) || utf8At(i) != other.utf8At(i))
            return false;
    return true;
}
