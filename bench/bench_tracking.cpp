// Times the progress display of a long reply and the refill of a long
// parcel list, each beside a baseline of the bare widget work measured in
// the same run. Run by hand: bench_tracking [repetitions]
#include "Bench.h"
#include "app/Form1.h"
#include "store/Store.h"
#include "tracking/Progress.h"
#include "tracking/Reply.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
QString longReply(int events)
{
    QString s = QStringLiteral("{\"message\":\"ok\",\"errCode\":\"0\",\"status\":\"1\",\"data\":[");
    const QDateTime start(QDate(2024, 1, 1), QTime(8, 0));
    for (int i = 0; i < events; ++i) {
        if (i)
            s += u',';
        const QString time =
            start.addSecs(qint64(events - i) * 600).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        s += QStringLiteral("{\"time\":\"%1\",\"ftime\":\"%1\",\"context\":\"快件已到达【杭州转运中心】,"
                            "正在发往\\/下一站 %2\"}")
                 .arg(time)
                 .arg(i);
    }
    return s + QStringLiteral("]}");
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    const int events = 1000;
    const int parcels = 10000;

    BenchWindow bench;
    if (!bench.start(parcels))
        return 1;
    Form1 &w = *bench.form;
    if (w.Text1->count() != parcels) {
        std::fprintf(stderr, "expected %d saved parcels, list has %d\n", parcels, w.Text1->count());
        return 1;
    }

    // (a) One display tick for a reply of 1,000 events.
    const QString replyText = longReply(events);
    w.CurrentParcel.id = QStringLiteral("1");
    w.CurrentParcel.company = QStringLiteral("中通快递");
    const double display = medianMs(
        runs,
        [&] {
            w.ListView1->clear();
            w.CurrentParcel.num = QStringLiteral("100000"); // no news: no write
            w.eventCount = qint16(countTime(replyText));
        },
        [&] {
            // The reply read as the query reads it, then shown.
            w.CurrentService.reading = readTrackingReply(replyText);
            w.Timer1_Timer();
        });
    if (w.ListView1->topLevelItemCount() != events) {
        std::fprintf(stderr, "display made %d rows\n", w.ListView1->topLevelItemCount());
        return 1;
    }
    QList<QStringList> ready;
    for (const ProgressEntry &e : progressEntries(replyText, events))
        ready << QStringList{QString::number(e.sequence), e.time, e.context};
    const double rowsOnly = medianMs(
        runs, [&] { w.ListView1->clear(); },
        [&] {
            QList<QTreeWidgetItem *> items;
            items.reserve(ready.size());
            for (const QStringList &r : ready)
                items << new QTreeWidgetItem(r);
            w.ListView1->addTopLevelItems(items);
        });
    const double parseOnly = medianMs(
        runs, [] {},
        [&] {
            const auto e = progressEntries(replyText, events);
            if (e.size() != events)
                std::abort();
        });

    // (b) Refill of the list from 10,000 saved parcels.
    const double refill = medianMs(
        runs, [] {}, [&] { w.sX(); });
    const double readOnly = medianMs(
        runs, [] {},
        [&] {
            if (w.store().allEntries().size() != parcels)
                std::abort();
        });
    QStringList goods;
    for (int i = 0; i < w.Text1->count(); ++i)
        goods << w.Text1->itemText(i);
    QComboBox plain;
    const double comboOnly = medianMs(
        runs, [&] { plain.clear(); }, [&] { plain.addItems(goods); });

    std::printf("median of %d runs, reply %lld characters\n\n", runs, qlonglong(replyText.size()));
    report("display of 1000 events (Timer1_Timer)", display, "baseline: 1000 ready rows appended", rowsOnly);
    std::printf("%-44s %9.2f ms\n\n", "  of which cutting the reply", parseOnly);
    report("refill from 10000 saved parcels (sX)", refill, "baseline: addItems of 10000 strings", comboOnly);
    std::printf("%-44s %9.2f ms\n", "  of which reading the rows", readOnly);
    return 0;
}
