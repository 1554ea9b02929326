#include "app/Tr.h"
#include "cli/CommandContext.h"
#include "cli/Commands.h"
#include "cli/Format.h"
#include "book/Stage.h"

#include <cstdio>
#include <functional>

// list, remove, code, picked, archive and unarchive: the commands that read
// or mark the book without asking a service.
namespace cli {
namespace {
int printRow(Context &c, const QString &said, qint64 id)
{
    const std::optional<BookRow> row = c.store->bookRow(id);
    if (!row)
        return fail(databaseFailed(*c.store));
    if (c.json)
        printParcelJson(*row);
    else
        out(said + parcelLine(row->parcel) + QLatin1Char('\n'));
    return CommandStatus::Ok;
}

// The parcel named by --id, for a command that takes nothing else.
std::optional<ParcelRecord> onlyRowById(Context &c, Failed &why)
{
    if (!c.parser.positionalArguments().isEmpty() || !c.parser.isSet(IdOption)) {
        why = {CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)};
        return std::nullopt;
    }
    return rowById(c, why);
}

// One mark set on the parcel named by --id, then the row, said after `said`.
int mark(Context &c, const std::function<bool(Store &, qint64 id)> &set, const QString &said)
{
    Failed why{};
    const auto row = onlyRowById(c, why);
    if (!row)
        return fail(why);
    if (!set(*c.store, row->id))
        return fail(databaseFailed(*c.store));
    return printRow(c, said, row->id);
}
} // namespace

int list(Context &c)
{
    if (!c.parser.positionalArguments().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("list 不接受参数")});
    const QList<BookRow> rows =
        c.store->book(c.parser.isSet(ArchivedOption) ? Store::Shelf::Archived : Store::Shelf::Active);
    if (!c.store->error().isEmpty())
        return fail(databaseFailed(*c.store));
    if (c.json) {
        printParcelsJson(rows);
        return CommandStatus::Ok;
    }
    QString text;
    for (const BookRow &r : rows) {
        text +=
            QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                .arg(r.parcel.id)
                .arg(plain(r.parcel.number), plain(r.parcel.goods), plain(r.parcel.company),
                     plain(r.parcel.num), plain(stateColumn(r)),
                     r.newest.time.isEmpty() ? QString()
                                             : plain(r.newest.time + QLatin1Char(' ') + r.newest.context));
    }
    out(text);
    return CommandStatus::Ok;
}

int remove(Context &c)
{
    Failed why{};
    const auto row = onlyRowById(c, why);
    if (!row)
        return fail(why);
    if (!c.store->deleteParcel(row->id))
        return fail(databaseFailed(*c.store));
    if (c.json)
        printParcelJson(BookRow{*row, {}, {}, {}, false, {}, {}});
    else
        out(Parcelio::tr("快递信息已删除! ") + parcelLine(*row) + QLatin1Char('\n'));
    return CommandStatus::Ok;
}

int code(Context &c)
{
    const QString text = textArgument(c.parser.positionalArguments());
    if (text.trimmed().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("用法: ") + commandUsage(c.name)});
    const PickupMessage message = readPickupMessage(text);
    if (message.code.isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("短信中没有找到取件码")});
    qint64 id = 0;
    if (c.parser.isSet(IdOption)) {
        Failed why{};
        const auto row = rowById(c, why);
        if (!row)
            return fail(why);
        id = row->id;
    } else {
        const QList<BookRow> rows = c.store->book();
        if (!c.store->error().isEmpty())
            return fail(databaseFailed(*c.store));
        QList<PickupCandidate> parcels;
        for (const BookRow &r : rows) {
            const Status stage = bookRowStatus(r);
            if (stage != Status::PickedUp)
                parcels.append({r.parcel.id, r.parcel.number, r.parcel.goods, stage});
        }
        const QList<PickupCandidate> found = parcelsForMessage(message, parcels);
        if (found.isEmpty())
            return fail({CommandStatus::Usage, Parcelio::tr("没有与短信相符的快递 (取件码 %1)").arg(message.code)});
        if (found.size() > 1) {
            QString list = Parcelio::tr("有 %1 个快递与短信相符, 请用 --id 指定:").arg(found.size());
            for (const PickupCandidate &p : found)
                list += QStringLiteral("\n  [%1] %2 %3").arg(p.id).arg(p.number, p.goods);
            return fail({CommandStatus::Usage, list});
        }
        // A kept code or another station is only overwritten on --id.
        if (const QString doubt = pickupDoubtOf(*c.store, message, found.first()); !doubt.isEmpty())
            return fail({CommandStatus::Usage,
                         doubt + QStringLiteral("\n") +
                             Parcelio::tr("取件码 %1 未记录; 确是这个快递请用 --id %2").arg(message.code).arg(found.first().id)});
        id = found.first().id;
    }
    if (!c.store->setPickupCode(id, message.code))
        return fail(databaseFailed(*c.store));
    return printRow(c, Parcelio::tr("取件码 %1 已记录: ").arg(message.code), id);
}

int picked(Context &c)
{
    return mark(
        c, [](Store &s, qint64 id) { return s.setPicked(id, QDateTime::currentDateTime()); },
        Parcelio::tr("已取件: "));
}

int archive(Context &c)
{
    return mark(
        c, [](Store &s, qint64 id) { return s.setArchived(id, QDateTime::currentDateTime()); },
        Parcelio::tr("已归档: "));
}

int unarchive(Context &c)
{
    return mark(c, [](Store &s, qint64 id) { return s.setArchived(id, QDateTime()); }, Parcelio::tr("已取消归档: "));
}
} // namespace cli
