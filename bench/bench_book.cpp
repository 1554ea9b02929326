// Times a partial search over 10,000 saved parcels (the statement and the
// hit list, without the query of the first hit) and an export of 1,000
// progress rows, each beside a baseline measured in the same run: the bare
// SQL query and a plain file write. Run by hand: bench_book [repetitions]
#include "Bench.h"
#include "app/Form1.h"
#include "store/Store.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const int parcels = 10000;
    const int rows = 1000;

    BenchWindow bench;
    if (!bench.start(parcels))
        return 1;
    Form1 &w = *bench.form;

    // (a) Partial goods search; "号" is in every saved parcel, the worst case.
    const QString text = QStringLiteral("号");
    const double search = medianMs(
        runs, [] {},
        [&] {
            if (w.listSearchHits(false, true, text) != parcels)
                std::abort();
        });
    const double narrow = medianMs(
        runs, [] {},
        [&] {
            if (w.listSearchHits(false, true, QStringLiteral("物品 123")) != 11)
                std::abort();
        });
    double bare = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(w.store().databasePath());
        if (!db.open())
            return 1;
        bare = medianMs(
            runs, [] {},
            [&] {
                QSqlQuery q(db);
                q.setForwardOnly(true);
                q.prepare(QStringLiteral("select id, goods from kd100 where goods like ? order by id"));
                q.addBindValue(QStringLiteral("%号%"));
                q.exec();
                int n = 0;
                while (q.next()) {
                    q.value(0);
                    q.value(1);
                    ++n;
                }
                if (n != parcels)
                    std::abort();
            });
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));

    // (b) Export of 1,000 progress rows.
    w.ListView1->clear();
    for (int i = 0; i < rows; ++i)
        w.ListView1->addTopLevelItem(new QTreeWidgetItem(
            {QString::number(i + 1),
             QStringLiteral("2026-12-01 14:%1:00").arg(i % 60, 2, 10, QLatin1Char('0')),
             QStringLiteral("[深圳市]快件到达 【深圳宝安集散中心】,正在发往下一站 %1").arg(i)}));
    const QString path = bench.dir.path() + QStringLiteral("/out.txt");
    const double exportMs = medianMs(
        runs, [] {},
        [&] {
            if (!w.ExportListViewContent(w.ListView1, path))
                std::abort();
        });
    QFile done(path);
    if (!done.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray bytes = done.readAll();
    done.close();
    const QString plainPath = bench.dir.path() + QStringLiteral("/plain.txt");
    const double plain = medianMs(
        runs, [] {},
        [&] {
            QFile f(plainPath);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
                std::abort();
        });

    std::printf("median of %d runs\n\n", runs);
    report("partial search, 10000 hits of 10000 parcels", search, "baseline: the bare SQL query", bare);
    std::printf("%-48s %9.2f ms\n\n", "  partial search, 11 hits", narrow);
    report("export of 1000 rows (ExportListViewContent)", exportMs, "baseline: plain write of the same bytes",
           plain);
    std::printf("%-48s %9lld bytes\n", "  file size", qlonglong(bytes.size()));
    return 0;
}
