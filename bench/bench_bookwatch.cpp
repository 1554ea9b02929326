// The book watch over 1,000 saved parcels (900 under way, 100 kept as
// signed for) against the local stand-in with no pause: time per parcel,
// the longest stall of the window's event loop during a round, and the
// memory after 1 and after 10 rounds. Baselines from the same run: bare
// sequential GETs of the same addresses, the stall of an idle loop, and the
// memory of the loaded window before any round.
// Memory is told four ways, since they answer different questions: RSS as
// the kernel sees it, its peak (VmHWM) since the start, RSS once the
// allocator has handed its free pages back (malloc_trim), and the live heap
// (bytes allocated and not yet freed, mallinfo2). Growth of the live heap is
// memory kept; growth of RSS alone is the allocator's high-water mark. Of
// the live heap, SQLite's share (page caches of both connections, bounded
// by their cache_size) is told apart.
// Run by hand: bench_bookwatch [rounds]
#include "app/Features.h"
#include "watch/BookWatchPanel.h"
#include "Bench.h"
#include "app/Form1.h"
#include "store/Store.h"
#include "tracking/Reply.h"
#include "watch/BookWatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <sqlite3.h>

namespace {
constexpr int Parcels = 1000;
constexpr int Signed = 100;

QString number(int i)
{
    return QStringLiteral("6%1").arg(i, 11, 10, QLatin1Char('0'));
}

QByteArray reply(int events)
{
    QByteArray s = "{\"errCode\":\"0\",\"message\":\"\",\"data\":[";
    for (int e = 0; e < events; ++e) {
        if (e)
            s += ',';
        s +=
            QStringLiteral(
                "{\"time\":\"2026-12-0%1 1%2:00:00\",\"context\":\"[杭州市]快件到达【杭州转运中心】第%3站\"}")
                .arg(8 - e / 10)
                .arg(e % 10)
                .arg(events - e)
                .toUtf8();
    }
    return s + "]}";
}

// kB of a /proc/self/status line (VmRSS, VmHWM).
long procKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').first().toLong();
    return -1;
}

struct Memory {
    long rss, peak, trimmed, live, sqlite; // kB
};

// Trimming changes what RSS shows next: RSS is read first.
Memory memoryNow()
{
    Memory m;
    m.rss = procKb("VmRSS:");
    m.peak = procKb("VmHWM:");
    const struct mallinfo2 heap = mallinfo2();
    m.live = long((heap.uordblks + heap.hblkhd) / 1024);
    m.sqlite = long(sqlite3_memory_used() / 1024);
    malloc_trim(0);
    m.trimmed = procKb("VmRSS:");
    return m;
}

void reportMemory(const char *what, const Memory &m)
{
    std::printf("%-36s %9ld %9ld %9ld %9ld %9ld\n", what, m.rss, m.peak, m.trimmed, m.live, m.sqlite);
}

// The longest gap between two ticks of a 1 ms timer while work runs.
struct StallMeter {
    QTimer tick;
    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    StallMeter()
    {
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            worst = std::max(worst, now - last);
            last = now;
        });
    }
    void start()
    {
        worst = 0;
        clock.start();
        last = 0;
        tick.start();
    }
    double stopMs()
    {
        tick.stop();
        return worst / 1e6;
    }
};
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(2, atoi(argv[1])) : 10;

    QTemporaryDir dir;
    const QString fixtures = dir.filePath(QStringLiteral("fixtures"));
    QDir().mkpath(fixtures + QStringLiteral("/tracking"));
    QFile seed(dir.filePath(QStringLiteral("seed.sql")));
    if (!seed.open(QIODevice::WriteOnly))
        return 1;
    seed.write("insert into kd100 (id, number, goods, company, num) values\n");
    for (int i = 1; i <= Parcels; ++i) {
        seed.write(QStringLiteral("%1(%2, '%3', '物品 %2 号', '中通快递', '0')")
                       .arg(i == 1 ? "" : ",\n")
                       .arg(i)
                       .arg(number(i))
                       .toUtf8());
        QFile f(fixtures + QStringLiteral("/tracking/") + number(i) + QStringLiteral(".json"));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(reply(12));
    }
    seed.write(";\ninsert into progress (id, events, queried, state) values\n");
    for (int i = 1; i <= Signed; ++i)
        seed.write(QStringLiteral(
                       "%1(%2, '[[\"2026-12-01 10:00:00\",\"已签收\"]]', '2026-12-01 10:05:00', 'signed')")
                       .arg(i == 1 ? "" : ",\n")
                       .arg(i * (Parcels / Signed))
                       .toUtf8());
    seed.write(";\n");
    seed.close();

    QProcess standIn;
    standIn.start(QStringLiteral(PARCELIO_BIN_DIR "/parcelio-standin"),
                  {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--fixtures"), fixtures});
    if (!standIn.waitForReadyRead(10000)) {
        std::fprintf(stderr, "stand-in did not start\n");
        return 1;
    }
    const QString host = QString::fromLatin1(standIn.readLine().trimmed().mid(10)); // "listening "

    Config cfg;
    cfg.trackingHost = host;
    cfg.watchPauseMs = 0;
    // Nothing but the stand-in is asked: the update check goes to a closed port.
    cfg.makerHost = QStringLiteral("127.0.0.1:1");
    cfg.clockProbe = cfg.timeServer = QStringLiteral("http://127.0.0.1:1/");
    Platform none;
    Form1 w(dir.path(), cfg, none);
    if (!w.load(seed.fileName()))
        return 1;
    w.Timer3->stop();
    w.show();
    QApplication::processEvents();
    const Memory loaded = memoryNow();
    const int underWay = int(w.store().watchTargets().size());

    // Baseline: the same requests, bare, one after another.
    QNetworkAccessManager net;
    QList<QUrl> urls;
    for (const WatchTarget &t : w.store().watchTargets())
        urls << QUrl(trackingUrlOf(cfg, t.code, t.number));
    StallMeter meter;
    QElapsedTimer clock;
    meter.start();
    clock.start();
    {
        int at = 0;
        QEventLoop loop;
        std::function<void()> next = [&] {
            if (at == urls.size())
                return loop.quit();
            QNetworkReply *r = net.get(QNetworkRequest(urls.at(at++)));
            QObject::connect(r, &QNetworkReply::finished, [r, &next] {
                r->readAll();
                r->deleteLater();
                next();
            });
        };
        QTimer::singleShot(0, next);
        loop.exec();
    }
    const double bareMs = clock.nsecsElapsed() / 1e6;
    const double bareStall = meter.stopMs();

    // Baseline: an idle loop for a second.
    meter.start();
    {
        QEventLoop idle;
        QTimer::singleShot(1000, &idle, &QEventLoop::quit);
        idle.exec();
    }
    const double idleStall = meter.stopMs();

    auto round = [&](double *stall) {
        QEventLoop loop;
        QObject::connect(w.features().bookWatchPanel().watch(), &BookWatch::roundFinished, &loop, &QEventLoop::quit);
        meter.start();
        QElapsedTimer t;
        t.start();
        if (!w.features().bookWatchPanel().watch()->startRound())
            std::abort();
        loop.exec();
        if (stall)
            *stall = meter.stopMs();
        else
            meter.stopMs();
        return t.nsecsElapsed() / 1e6;
    };
    double firstStall = 0, laterStall = 0;
    const double first = round(&firstStall); // every parcel has news: 900 counts written
    const RoundSummary s1 = w.features().bookWatchPanel().watch()->lastRound();
    const Memory after1 = memoryNow();
    double later = 0;
    Memory after2{};
    for (int i = 1; i < rounds; ++i) {
        double stall = 0;
        later += round(&stall);
        laterStall = std::max(laterStall, stall);
        // The second round is the first to read back what the first wrote.
        if (i == 1)
            after2 = memoryNow();
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE")) {
            const Memory m = memoryNow();
            std::fprintf(stderr, "round %d: RSS %ld kB, trimmed %ld kB, live heap %ld kB (SQLite %ld kB)\n",
                         i + 1, m.rss, m.trimmed, m.live, m.sqlite);
        }
    }
    later /= rounds - 1;
    const Memory afterN = memoryNow();

    std::printf("%d saved parcels, %d under way, reply of 12 events, pause 0 ms\n", Parcels, underWay);
    std::printf("round 1: asked %d, news %d, failed %d\n\n", s1.asked, s1.news, s1.failed);
    report("round 1 per parcel (news: count and progress)", first / underWay,
           "baseline: bare sequential GET per parcel", bareMs / underWay);
    report("later rounds per parcel (no news)", later / underWay, "baseline: bare sequential GET per parcel",
           bareMs / underWay);
    std::printf("%-48s %9.2f ms\n%-48s %9.2f ms\n%-48s %9.2f ms\n%-48s %9.2f ms\n\n",
                "longest event-loop stall, round 1", firstStall, "longest event-loop stall, later rounds",
                laterStall, "baseline: stall during bare GETs", bareStall, "baseline: stall of an idle loop",
                idleStall);
    std::printf("%-36s %9s %9s %9s %9s %9s\n", "memory, kB", "RSS", "peak RSS", "trimmed", "live heap",
                "SQLite");
    reportMemory("baseline: the loaded window", loaded);
    reportMemory("after 1 round", after1);
    reportMemory("after 2 rounds", after2);
    reportMemory(qPrintable(QStringLiteral("after %1 rounds").arg(rounds)), afterN);
    auto growth = [](const char *what, const Memory &from, const Memory &to) {
        std::printf("%-36s %9ld %9ld %9ld %9ld %9ld\n", what, to.rss - from.rss, to.peak - from.peak,
                    to.trimmed - from.trimmed, to.live - from.live, to.sqlite - from.sqlite);
    };
    growth(qPrintable(QStringLiteral("growth, round 1 to %1").arg(rounds)), after1, afterN);
    growth(qPrintable(QStringLiteral("growth, round 2 to %1").arg(rounds)), after2, afterN);
    standIn.kill();
    standIn.waitForFinished();
    // Under heaptrack: ends with everything still allocated, so that what
    // the rounds left behind shows as "leaked" (compare runs of 2 and 10).
    if (qEnvironmentVariableIsSet("BENCH_QUICK_EXIT"))
        std::_Exit(0);
    return 0;
}
