#pragma once
#include "tracking/Status.h"
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// A row id kept as text (the window keeps its loaded parcel's so, and the
// courier directory shows its rows' so): the id, or nothing when the text
// is empty or no number, so that such a text reaches no row at all.
inline std::optional<qint64> rowIdOf(const QString &text)
{
    bool ok = false;
    const qint64 id = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

// One row looked up by its id: found, no such row, or failed (the statement
// failed; Store::error() says why). True only when found; a default one
// is Failed.
template <typename T>
struct RowLookup {
    enum Outcome { Found, Missing, Failed };
    Outcome outcome = Failed;
    std::optional<T> row;
    explicit operator bool() const { return outcome == Found; }
    const T &operator*() const { return *row; }
    const T *operator->() const { return &*row; }
};

// One row of kd100: a saved parcel.
struct ParcelRecord {
    qint64 id = 0;
    QString number;
    QString goods;
    QString company;
    QString num; // events seen at the last query, kept as decimal text
};

// One entry of the saved-parcel list: the goods it shows and the row it
// stands for, so that equal goods texts still name different parcels.
struct ParcelEntry {
    qint64 id = 0;
    QString goods;
};

// Many entries, compact: the whole book is read at every start, and a
// string apiece costs three times the text it holds. The texts are kept as
// the book holds them (UTF-8), and made strings only when shown.
class EntryList {
public:
    qsizetype size() const { return rows.size(); }
    bool isEmpty() const { return rows.isEmpty(); }
    qint64 idAt(qsizetype i) const { return rows.at(i).id; }
    QString goodsAt(qsizetype i) const { return QString::fromUtf8(utf8At(i)); }
    QByteArrayView utf8At(qsizetype i) const
    {
        const Row &r = rows.at(i);
        return QByteArrayView(texts).sliced(r.start, r.length);
    }
    ParcelEntry at(qsizetype i) const { return {idAt(i), goodsAt(i)}; }

    void reserve(qsizetype entries) { rows.reserve(entries); }
    void append(qint64 id, QStringView goods) { appendUtf8(id, goods.toUtf8()); }
    void appendUtf8(qint64 id, QByteArrayView goods);
    void append(const QList<ParcelEntry> &entries);
    void append(const EntryList &other);
    // count entries with no id and no text, from at on.
    void insert(qsizetype at, qsizetype count);
    void remove(qsizetype at, qsizetype count);
    void setId(qsizetype i, qint64 id) { rows[i].id = id; }
    void setGoods(qsizetype i, QStringView goods);
    // Gives back what growing left unused.
    void squeeze();
    bool operator==(const EntryList &other) const;

private:
    struct Row {
        qint64 id;
        qint32 start;
        qint32 length;
    };
    Row placed(qint64 id, QByteArrayView goods);
    QList<Row> rows;
    QByteArray texts; // the goods of every entry one after another; a changed one is added at the end
};

// One row of list: a courier company (read-only to the program).
struct CourierRecord {
    qint64 id = 0;
    QString name;
    QString code;   // sent to the tracking service as "com"
    QString shibie; // what the recognition service calls it
    QString call;   // customer-service telephone
};

// The one row of setting. Switches hold "是" or "否".
struct SettingsRecord {
    QString mail;          // 邮件通知
    QString voice;         // 语音提示
    QString drag;          // 支持拖动
    QString closeOnClick;  // 关闭窗口
    QString balloon;       // 气泡提示
    QString defaultQuery;  // 默认查询
    QString autoRecognise; // 自动识别
    QString address;       // 通知邮箱
};

// One tracking event as it is kept: time and context texts of the reply.
struct KeptEvent {
    QString time;
    QString context;
};

// The last good progress of a parcel (table progress, keyed by kd100.id):
// the events of its last successful query, newest first, when that query
// was made, and the status decided from them. unseen: news that the user
// has not looked at yet.
struct KeptProgress {
    qint64 id = 0;
    QList<KeptEvent> events;
    QDateTime queried;
    Status status = Status::Unknown;
    bool unseen = false;
};

// What the saved-parcel list shows of a parcel beside its goods.
struct EntryState {
    Status status = Status::Unknown; // with the user's picked-up mark
    bool unseen = false;
};

// A parcel the book watch asks about: its row and its courier's code.
struct WatchTarget {
    qint64 id = 0;
    QString number, goods, company, num, code;
    QString phone;          // last four phone digits, empty when none
    qint64 answeredMs = 0;  // the service's last answer (ms since the epoch)
    qint64 heldUntilMs = 0; // not to be asked before this
};

// What the user and the services add to a parcel after the road (table
// parcel_life, keyed by kd100.id). Times are yyyy-MM-dd hh:mm:ss local
// text, empty when not so.
struct ParcelLife {
    QString code;     // pickup code from a pasted message
    QString picked;   // when the user marked it picked up
    QString archived; // when it was archived
    QString told;     // reminders already given, one key a line
};

// A saved parcel with the part of its kept progress a listing shows: the
// status and newest event of its last good query (empty when never kept).
// queried is the stored local time text: a listing of thousands of rows
// need not look up the time zone for each.
struct BookRow {
    ParcelRecord parcel;
    Status status = Status::Unknown; // as kept, without the user's marks
    QString queried; // yyyy-MM-dd hh:mm:ss
    KeptEvent newest;
    bool unseen = false;
    QString phone; // last four phone digits, empty when none
    ParcelLife life;
};

// The status of a book row: picked up, never queried (Unknown), else as kept.
Status bookRowStatus(const BookRow &row);
