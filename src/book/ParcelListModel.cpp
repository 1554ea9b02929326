#include "book/ParcelListModel.h"

#include <QColor>
#include <QPainter>
#include <QPixmap>

namespace {
QPixmap stageDot(const QColor &colour)
{
    QPixmap dot(10, 10);
    dot.fill(Qt::transparent);
    QPainter p(&dot);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(1, 1, 8, 8);
    return dot;
}
} // namespace

template <typename List>
void ParcelListModel::appendList(const List &entries)
{
    if (entries.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(rows.size()), int(rows.size() + entries.size() - 1));
    // A fill of the empty list shares the store's entries instead of copying them.
    rows.append(entries);
    endInsertRows();
}

void ParcelListModel::append(const QList<ParcelEntry> &entries)
{
    appendList(entries);
}

void ParcelListModel::append(const EntryList &entries)
{
    appendList(entries);
}

int ParcelListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

QVariant ParcelListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rows.size())
        return QVariant();
    const qint64 id = rows.idAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return rows.goodsAt(index.row());
    case Qt::UserRole: return id ? QVariant(id) : QVariant();
    case Qt::ForegroundRole: {
        const EntryState st = states.value(id);
        if (st.unseen)
            return QColor(200, 30, 30);
        if (st.status == Status::Problem)
            return QColor(210, 110, 0);
        if (st.status == Status::AtStation)
            return QColor(0, 110, 200);
        if (isDelivered(st.status))
            return QColor(150, 150, 150);
        return QVariant();
    }
    case Qt::DecorationRole: {
        // A dot where the parcel needs the user: waiting, or in trouble.
        const Status stage = states.value(id).status;
        if (stage != Status::AtStation && stage != Status::Problem)
            return QVariant();
        return stageDot(stage == Status::Problem ? QColor(230, 120, 0) : QColor(0, 120, 215));
    }
    case Qt::ToolTipRole: return shownStatus(states.value(id).status);
    case Qt::FontRole: {
        if (!states.value(id).unseen)
            return QVariant();
        QFont f = base;
        f.setBold(true);
        return f;
    }
    default: return QVariant();
    }
}

bool ParcelListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= rows.size())
        return false;
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        rows.setGoods(index.row(), value.toString());
    else if (role == Qt::UserRole)
        rows.setId(index.row(), value.toLongLong());
    else
        return false;
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags ParcelListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

bool ParcelListModel::insertRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || row > rows.size() || count <= 0)
        return false;
    beginInsertRows(QModelIndex(), row, row + count - 1);
    rows.insert(row, count);
    endInsertRows();
    return true;
}

bool ParcelListModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > rows.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    rows.remove(row, count);
    endRemoveRows();
    return true;
}

void ParcelListModel::setStates(const QHash<qint64, EntryState> &all)
{
    states = all;
    if (!rows.isEmpty())
        emit dataChanged(index(0), index(int(rows.size()) - 1),
                         {Qt::ForegroundRole, Qt::FontRole, Qt::DecorationRole});
}

void ParcelListModel::setState(qint64 id, const EntryState &state)
{
    if (state.status != Status::Signed && !state.unseen && state.status != Status::AtStation && state.status != Status::Problem &&
        state.status != Status::PickedUp)
        states.remove(id);
    else
        states.insert(id, state);
    for (int i = 0; i < rows.size(); ++i)
        if (rows.idAt(i) == id)
            emit dataChanged(index(i), index(i), {Qt::ForegroundRole, Qt::FontRole, Qt::DecorationRole});
}
