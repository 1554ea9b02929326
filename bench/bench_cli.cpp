// parcelio list --json over 10,000 saved parcels, each with kept progress,
// against sqlite3 -json printing the same columns of the same file in the
// same run. Prints medians of wall time and peak memory and their ratios.
#include "Spawn.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int parcels = 10000, rounds = 15;
    const QString sqlite = QStandardPaths::findExecutable("sqlite3");
    if (sqlite.isEmpty()) {
        std::fprintf(stderr, "sqlite3 is needed (scripts/bootstrap installs it)\n");
        return 1;
    }
    // A portable copy keeps its book beside itself.
    QTemporaryDir dir;
    const QString program = dir.path() + "/parcelio";
    QFile::copy(PARCELIO_APP_BIN, program);
    QFile::copy(QFileInfo(PARCELIO_APP_BIN).path() + "/skinh.she", dir.path() + "/skinh.she");
    QFile::copy(QFileInfo(PARCELIO_APP_BIN).path() + "/parcelio-cli", dir.path() + "/parcelio-cli");
    const QString db = dir.path() + "/db/kd100.mdb";
    {
        Store store;
        if (store.open(dir.path()) != Store::OpenResult::Ok)
            return 1;
    }
    {
        QSqlDatabase d = QSqlDatabase::addDatabase("QSQLITE", "fill");
        d.setDatabaseName(db);
        d.open();
        d.transaction();
        QSqlQuery q(d), p(d);
        q.prepare("insert into kd100 (id, number, goods, company, num) values (?, ?, ?, '顺丰快递', '5')");
        p.prepare("insert into progress (id, events, queried, state) values (?, ?, '2026-12-08 10:00:00', "
                  "'transit')");
        for (int i = 1; i <= parcels; ++i) {
            q.addBindValue(i);
            q.addBindValue(QString::number(100000000000LL + i));
            q.addBindValue(QStringLiteral("包裹%1号 \"礼物\"").arg(i));
            q.exec();
            QString events = "[";
            for (int e = 5; e >= 1; --e)
                events += QStringLiteral(
                              "%1[\"2026-12-0%2 1%2:00:00\",\"[广州市]快件到达【广州白云集散中心】第%2站\"]")
                              .arg(e == 5 ? "" : ",")
                              .arg(e);
            p.addBindValue(i);
            p.addBindValue(events + "]");
            p.exec();
        }
        d.commit();
        d.close();
    }
    QSqlDatabase::removeDatabase("fill");

    const QString query =
        "select k.id, k.number, k.goods, k.company, k.num as count, p.state, p.queried, p.unseen,"
        " json_extract(p.events, '$[0][0]') as time, json_extract(p.events, '$[0][1]') as context"
        " from kd100 k left join progress p on p.id=k.id order by k.id";
    const QStringList ours{"list", "--json"};
    const QStringList theirs{"-json", db, query};
    runOnce(program, ours, true); // warm the file cache for both
    runOnce(sqlite, theirs, true);
    std::vector<double> oMs, sMs;
    std::vector<long> oKb, sKb;
    // Paired rounds: a burst of load on the machine hits both alike.
    for (int i = 0; i < rounds; ++i) {
        const Run o = runOnce(program, ours, true);
        const Run s = runOnce(sqlite, theirs, true);
        oMs.push_back(o.ms);
        oKb.push_back(o.peakKb);
        sMs.push_back(s.ms);
        sKb.push_back(s.peakKb);
    }
    const double om = median(oMs), sm = median(sMs);
    const long ok = median(oKb), sk = median(sKb);
    std::printf("list --json with %d saved parcels, median of %d runs\n", parcels, rounds);
    std::printf("  parcelio list --json     %8.1f ms  %7ld KiB peak\n", om, ok);
    std::printf("  sqlite3 -json            %8.1f ms  %7ld KiB peak\n", sm, sk);
    std::printf("  ratio                    %8.2f x   %7.2f x\n", om / sm, double(ok) / double(sk));
    return 0;
}
