#include "app/Locations.h"
#include "app/Tr.h"
#include "cli/CommandContext.h"
#include "cli/Commands.h"

#include <QFileInfo>

namespace cli {
// The book as the window finds it. The window keeps its single-copy lock
// for as long as it runs, so while one runs the command works on a second
// connection to the file it opened; otherwise the file is made or upgraded
// as the window would, and the lock let go at once so that a window can
// start while the command runs.
std::optional<Failed> openBook(Context &c)
{
    const Locations at = findLocations(programDir());
    c.cfg = Config::load(at.iniPath);
    c.service = TrackingService::make(c.cfg);
    c.store = std::make_unique<Store>();
    const QString path = at.dataDir + QStringLiteral("/db/kd100.mdb");
    auto refused = [&](const QString &detail) {
        return Failed{CommandStatus::DatabaseRefused,
                      Parcelio::tr("数据库无法使用: %1 (%2)").arg(path, detail)};
    };
    switch (c.store->open(at.dataDir)) {
    case Store::OpenResult::Ok: c.store->releaseLock(); return std::nullopt;
    case Store::OpenResult::TooNew: return refused(Parcelio::tr("由更新版本的程序创建"));
    case Store::OpenResult::Failed: return refused(c.store->error());
    case Store::OpenResult::AlreadyRunning: break;
    }
    c.store = std::make_unique<Store>();
    // openShared would create an empty file where none is.
    if (!QFileInfo::exists(path))
        return refused(Parcelio::tr("文件不存在"));
    if (!c.store->openShared(path))
        return refused(c.store->error());
    switch (c.store->checkShared()) {
    case Store::OpenResult::Ok: return std::nullopt;
    case Store::OpenResult::TooNew: return refused(Parcelio::tr("由更新版本的程序创建"));
    default: return refused(c.store->error());
    }
}

Failed databaseFailed(const Store &s)
{
    return {CommandStatus::DatabaseRefused, Parcelio::tr("数据库操作失败,没有做任何改动: ") + s.error()};
}

// The stored row named by --id, or why there is none.
std::optional<ParcelRecord> rowById(Context &c, Failed &why)
{
    const QString id = c.parser.value(IdOption);
    bool ok = false;
    const qint64 key = id.toLongLong(&ok);
    if (!ok || key <= 0) {
        why = {CommandStatus::Usage, Parcelio::tr("编号不正确: %1").arg(id)};
        return std::nullopt;
    }
    const auto found = c.store->parcelById(key);
    if (found.outcome == RowLookup<ParcelRecord>::Missing)
        why = {CommandStatus::Usage, Parcelio::tr("没有编号为 %1 的快递").arg(key)};
    else if (!found)
        why = databaseFailed(*c.store);
    return found.row;
}
} // namespace cli
