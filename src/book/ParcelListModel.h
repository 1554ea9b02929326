#pragma once
// The entries of the saved-parcel list: goods text and row id. A plain list
// behind the drop-down, so that thousands of entries come and go in one
// step instead of one item object each.
#include "store/Records.h"
#include <QAbstractListModel>
#include <QFont>
#include <QHash>

class ParcelListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;
    void append(const QList<ParcelEntry> &entries);
    void append(const EntryList &entries);
    const EntryList &entries() const { return rows; }
    // What the list tells beside the goods text, by row id: signed parcels
    // muted, unseen news in bold. Kept across refills.
    void setStates(const QHash<qint64, EntryState> &states);
    void setState(qint64 id, const EntryState &state);
    EntryState stateOf(qint64 id) const { return states.value(id); }
    void setBaseFont(const QFont &font) { base = font; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

private:
    template <typename List>
    void appendList(const List &entries);
    EntryList rows; // id 0: an entry that stands for no row (the sentinels)
    QHash<qint64, EntryState> states;
    QFont base;
};
