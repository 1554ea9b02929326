// The book watch over 1,000 saved parcels (900 under way, 100 kept as
// signed for) against the local stand-in with no pause: time per parcel,
// the longest stall of the window's event loop during a round, and the
// memory after 1 and after 10 rounds. Baselines from the same run: bare
// sequential GETs of the same addresses, the stall of an idle loop, and the
// memory of the loaded window before any round.
// Run by hand: bench_bookwatch [rounds]
#include "Bench.h"
#include "app/Form1.h"
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

namespace {
constexpr int Parcels = 1000;
constexpr int Signed = 100;

QString number(int i) { return QStringLiteral("6%1").arg(i, 11, 10, QLatin1Char('0')); }

QByteArray reply(int events)
{
    QByteArray s = "{\"errCode\":\"0\",\"message\":\"\",\"data\":[";
    for (int e = 0; e < events; ++e) {
        if (e)
            s += ',';
        s += QStringLiteral("{\"time\":\"2026-12-0%1 1%2:00:00\",\"context\":\"[杭州市]快件到达【杭州转运中心】第%3站\"}")
                 .arg(8 - e / 10).arg(e % 10).arg(events - e).toUtf8();
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
    void start() { worst = 0; clock.start(); last = 0; tick.start(); }
    double stopMs() { tick.stop(); return worst / 1e6; }
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
                       .arg(i == 1 ? "" : ",\n").arg(i).arg(number(i)).toUtf8());
        QFile f(fixtures + QStringLiteral("/tracking/") + number(i) + QStringLiteral(".json"));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(reply(12));
    }
    seed.write(";\ninsert into progress (id, events, queried, state) values\n");
    for (int i = 1; i <= Signed; ++i)
        seed.write(QStringLiteral("%1(%2, '[[\"2026-12-01 10:00:00\",\"已签收\"]]', '2026-12-01 10:05:00', '已签收')")
                       .arg(i == 1 ? "" : ",\n").arg(i * (Parcels / Signed)).toUtf8());
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
    const long rssLoaded = procKb("VmRSS:"), peakLoaded = procKb("VmHWM:");
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
            QObject::connect(r, &QNetworkReply::finished, [r, &next] { r->readAll(); r->deleteLater(); next(); });
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
        QObject::connect(w.bookWatch, &BookWatch::roundFinished, &loop, &QEventLoop::quit);
        meter.start();
        QElapsedTimer t;
        t.start();
        if (!w.bookWatch->startRound())
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
    const RoundSummary s1 = w.bookWatch->lastRound();
    const long rss1 = procKb("VmRSS:"), peak1 = procKb("VmHWM:");
    double later = 0;
    for (int i = 1; i < rounds; ++i) {
        double stall = 0;
        later += round(&stall);
        laterStall = std::max(laterStall, stall);
        if (qEnvironmentVariableIsSet("BENCH_VERBOSE"))
            std::fprintf(stderr, "round %d: %ld kB\n", i + 1, procKb("VmRSS:"));
    }
    later /= rounds - 1;
    const long rssN = procKb("VmRSS:"), peakN = procKb("VmHWM:");

    std::printf("%d saved parcels, %d under way, reply of 12 events, pause 0 ms\n", Parcels, underWay);
    std::printf("round 1: asked %d, news %d, failed %d\n\n", s1.asked, s1.news, s1.failed);
    report("round 1 per parcel (news: count and progress)", first / underWay,
           "baseline: bare sequential GET per parcel", bareMs / underWay);
    report("later rounds per parcel (no news)", later / underWay,
           "baseline: bare sequential GET per parcel", bareMs / underWay);
    std::printf("%-48s %9.2f ms\n%-48s %9.2f ms\n%-48s %9.2f ms\n%-48s %9.2f ms\n\n",
                "longest event-loop stall, round 1", firstStall, "longest event-loop stall, later rounds",
                laterStall, "baseline: stall during bare GETs", bareStall, "baseline: stall of an idle loop",
                idleStall);
    std::printf("%-48s %9ld kB (peak %ld kB)\n%-48s %9ld kB (peak %ld kB)\n%-48s %9ld kB (peak %ld kB)\n",
                "baseline: memory of the loaded window", rssLoaded, peakLoaded, "memory after 1 round", rss1,
                peak1, qPrintable(QStringLiteral("memory after %1 rounds").arg(rounds)), rssN, peakN);
    standIn.kill();
    standIn.waitForFinished();
    return 0;
}
