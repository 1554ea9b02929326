#pragma once
#include "store/Records.h"
#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

class SqlConnection;
class SqlQuery;
struct sqlite3;

// Where a search of the book looks, and whether the text must match whole
// or may stand anywhere in the field (then % and _ are wildcards, as they
// always have been).
enum class ParcelField { Number, Goods };
enum class Match { Exact, Partial };

// The told keys of a parcel (one a line) with key among them, and whether
// key is among them. A day's key of a kind ("station:2026-12-09") replaces
// the earlier days' keys of that kind; the newest few keys are kept.
QString toldWith(const QString &told, const QString &key);
bool toldHas(const QString &told, const QString &key);

// Registers the bundled SQL, icons and sounds (safe to call more than once).
void parcelioResources();

// One connection to the book and every statement sent through it. The
// window holds one; the book watch's worker thread and the commands open
// their own. Values are always bound, never spliced into statement text.
// The statements live beside their tables: StoreOpen.cpp (opening, the
// lock, running statements), StoreSchema.cpp, StoreBook.cpp (kd100),
// StoreCouriers.cpp (list, setting), StoreProgress.cpp, StoreWatch.cpp
// (phone, pace, watch settings), StoreLife.cpp (parcel_life).
class Store {
public:
    // TooNew: the file was made by a newer version of the program; it is
    // left untouched.
    enum class OpenResult { Ok, AlreadyRunning, Failed, TooNew };
    // The schema this program writes (PRAGMA user_version). 0 is a file of
    // the versions before kept progress.
    static constexpr int SchemaVersion = 5;

    Store();
    ~Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    // Opens appDir/db/kd100.mdb, creating it from the bundled SQL when it is
    // missing (then also running seedSql, if given). Holds an OS lock on
    // db/kd100.ldb until releaseLock() or the end of the object: a second
    // holder is told apart.
    OpenResult open(const QString &appDir, const QString &seedSqlFile = QString());
    bool isOpen() const;
    // A further connection to a database another Store opened (and may
    // hold locked): no creation, no upgrade. For the book watch's thread and
    // the commands beside a window; use it only in the thread that opened it.
    bool openShared(const QString &path);
    QString databasePath() const { return dbPath; }
    // After open(): lets another copy of the window start beside this
    // connection (the command line makes or upgrades the file, then works
    // without holding the window's single-copy lock).
    void releaseLock();
    // After openShared(): the file must already be this program's database
    // at this schema; nothing is created or upgraded.
    OpenResult checkShared();
    // Empty after a statement that worked; the engine's text after one that failed.
    QString error() const { return lastError; }

    // kd100 (StoreBook.cpp)
    // Every parcel with its kept state and newest event, in one statement:
    // the active ones (not archived), the archived ones, or all.
    enum class Shelf { Active, Archived, All };
    QList<BookRow> book(Shelf which = Shelf::Active);
    // Id and goods of every parcel but the archived ones, in the order of
    // their ids: all the saved-parcel list needs, read without the other
    // columns.
    EntryList allEntries();
    // True when another connection (a command beside the window, the book
    // watch's own thread) has committed since the last call; the first call
    // only takes note and says false.
    bool changedElsewhere();
    // A search of the book, in the book's order: as list entries (the
    // search panel's) or as whole rows. Nothing when the statement failed;
    // an empty list when no row matched.
    std::optional<QList<ParcelEntry>> findEntries(ParcelField field, Match match, const QString &text);
    std::optional<QList<ParcelRecord>> findParcels(ParcelField field, Match match, const QString &text);
    RowLookup<ParcelRecord> parcelById(qint64 id);
    // False unless a row was removed. What is kept of the parcel (progress,
    // phone digits, pace, parcel_life) goes in the same transaction.
    bool deleteParcel(qint64 id);
    // Clears every parcel and what is kept of it through a connection of
    // its own, as clearing the list (F6) asks for; false when that fails.
    bool deleteAllParcelsOnOwnConnection();
    // False unless a row was written. A new number or courier also clears
    // what is kept of the old one (count and progress), as resetParcel does.
    // With phone, the phone digits are written in the same step: both or
    // neither.
    bool updateParcel(qint64 id, const QString &company, const QString &goods, const QString &number,
                      const QString *phone = nullptr);
    // Returns the new record's id, or nothing when the insert failed.
    std::optional<qint64> addParcel(const QString &company, const QString &number, const QString &goods,
                                    const QString &num);
    // A parcel saved unless its number is saved already: the check and the
    // insert are one step, also against other programs on the same file.
    struct Added {
        enum Outcome { Saved, AlreadySaved, Failed };
        Outcome outcome = Failed;
        qint64 id = 0; // the new row, or the row that holds the number
    };
    Added addParcelOnce(const QString &company, const QString &number, const QString &goods,
                        const QString &num);

    // list (StoreCouriers.cpp)
    QList<CourierRecord> allCouriers();
    QList<CourierRecord> couriersByName(const QString &name);
    QList<CourierRecord> couriersByNameLike(const QString &text);
    RowLookup<CourierRecord> courierById(qint64 id);
    QList<CourierRecord> couriersByRecognitionCode(const QString &comCode);
    QList<CourierRecord> couriersByCode(const QString &code);

    // setting
    std::optional<SettingsRecord> settings();
    // Writes one column of the settings row. The column must be one of the
    // eight setting columns; anything else is refused.
    bool writeSetting(const QString &column, const QString &value);

    // Kept progress (StoreProgress.cpp). Writes nothing (and says so) when
    // the parcel's row is gone.
    bool saveProgress(const KeptProgress &progress);
    // The new count and the progress in one step.
    bool saveNews(const KeptProgress &progress, const QString &num);
    // An answer of the book watch for the parcel asked as number and
    // company, judged and kept in one step against the row as it is then.
    // News: the row has a count, the answer holds more events and the
    // parcel is not signed for; the new count is stored with the progress.
    // Delivered: the parcel turned signed with this answer (kept as news
    // not yet seen); told once, as the book watch asks no signed parcel.
    enum class Kept { Stored, News, Delivered, Gone, Changed, Failed };
    Kept keepAnswer(const KeptProgress &progress, const QString &number, const QString &company, int count,
                    bool isSigned);
    // The window's news: the row's count raised to count, unless it already
    // holds that many (another query told this news). Claimed only once.
    enum class Claim { Claimed, AlreadyTold, Failed };
    Claim claimNews(qint64 id, int count);
    std::optional<KeptProgress> progressOf(qint64 id);
    // The count back to "0" and the kept progress gone, in one step.
    bool resetParcel(qint64 id);
    bool markSeen(qint64 id);
    QHash<qint64, EntryState> entryStates();
    // What the book watch keeps (StoreWatch.cpp).
    // Every saved parcel not known to be signed for (never queried ones
    // included), in the book's order; archived and picked-up ones stay out.
    QList<WatchTarget> watchTargets();
    // The last four phone digits kept for a parcel (table phone); empty
    // when none. Setting empty digits removes them.
    QString phoneOf(qint64 id);
    bool setPhone(qint64 id, const QString &digits);
    // When the parcel's service last answered, and until when it asked not
    // to be asked again (milliseconds since the epoch; 0 for neither).
    bool notePace(qint64 id, qint64 answeredMs, qint64 heldUntilMs);
    // Many at once, in one transaction: a round writes them together.
    struct PaceNote {
        qint64 id, answeredMs, heldUntilMs;
    };
    bool notePaces(const QList<PaceNote> &notes);
    // The parcel's note; zeros when it has none.
    PaceNote paceOf(qint64 id);
    // The book watch's own settings (table watch_setting).
    QString watchSetting(const QString &key, const QString &fallback = QString());
    bool writeWatchSetting(const QString &key, const QString &value);
    // Several in one transaction: all are written, or none.
    bool writeWatchSettings(const QList<QPair<QString, QString>> &pairs);

    // After the road (store/StoreLife.cpp): the pickup code, picked up and
    // archived, and the reminders given. Each writes nothing (and says so)
    // when the parcel's row is gone. An invalid time clears the mark.
    std::optional<ParcelLife> lifeOf(qint64 id);
    bool setPickupCode(qint64 id, const QString &code);
    bool setPicked(qint64 id, const QDateTime &when);
    bool setArchived(qint64 id, const QDateTime &when);
    bool setTold(qint64 id, const QString &told);
    // Reminders decided and recorded in one write transaction over the
    // active book: due(row) gives the key of the reminder a row is due (empty
    // for none). A row whose told keys lack it gets it added (see toldWith),
    // and is returned with it; a key already told is not returned again, so
    // that of two programs deciding at once only one tells it. Nothing when
    // a statement failed (then nothing is recorded).
    struct ToldRow {
        BookRow row;
        QString key;
    };
    std::optional<QList<ToldRow>> claimTold(const std::function<QString(const BookRow &)> &due);
    // One parcel's book row (any shelf); nothing when missing or failed.
    std::optional<BookRow> bookRow(qint64 id);
    // Archives every signed or picked-up parcel signed (or picked up)
    // before cutoff; the number archived, or nothing when a statement failed.
    std::optional<int> archiveSignedBefore(const QDateTime &cutoff, const QDateTime &now);
    // The user's choice (watch_setting auto_archive): parcels signed for a
    // week are archived by themselves. The number archived now.
    static constexpr int AutoArchiveDays = 7;
    static const char *const AutoArchiveKey;
    int autoArchive(const QDateTime &now);

private:
    bool writeLife(qint64 id, const char *column, const QString &value);
    // The book's statement with a fixed condition of this class.
    QList<BookRow> bookWhere(const char *condition, const QVariant &bind = QVariant());
    static const QStringList &settingColumns();
    QList<ParcelRecord> parcels(SqlQuery &q);
    QList<CourierRecord> couriers(SqlQuery &q);
    // The couriers whose column (a fixed name of this class) holds value.
    QList<CourierRecord> couriersWhere(const char *column, const QString &value);
    QList<ParcelEntry> entries(SqlQuery &q);
    // A search's statement: the columns are fixed texts of this class.
    SqlQuery searchQuery(const char *columns, ParcelField field, Match match, const QString &text);
    // The first of rows, told apart from none and from a failed statement.
    template <typename T>
    RowLookup<T> lookupOf(const QList<T> &rows) const
    {
        if (!lastError.isEmpty())
            return {RowLookup<T>::Failed, {}};
        if (rows.isEmpty())
            return {RowLookup<T>::Missing, {}};
        return {RowLookup<T>::Found, rows.first()};
    }
    // run(), and then false (with a message) when no row was touched.
    bool runOnOneRow(SqlQuery &q);
    bool run(SqlQuery &q);
    EntryList allEntriesFrom(sqlite3 *h);
    bool runScript(const QString &text);
    // Brings a file of an older schema up to SchemaVersion in one transaction.
    OpenResult upgrade();
    // The statements of every schema step above fromVersion, then the version.
    bool runSchemaSteps(int fromVersion);
    // Version 5: each kept state's words become its status code, decided as
    // the program decided the stage then (the service's kept state, else the
    // words of the newest events).
    bool convertStates();
    bool inTransaction(const std::function<bool()> &work);
    // As inTransaction, but the write lock is taken at the start: what work
    // reads cannot change before it writes.
    bool inWriteTransaction(const std::function<bool()> &work);

    std::unique_ptr<SqlConnection> conn; // this Store's own
    QString dbPath;
    QString lastError;
    int lockFd = -1;
    qint64 dataVersion = -1;
};
