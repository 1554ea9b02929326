// A round of the book watch over 1,000 parcels with each tracking service
// against its stand-in, the window shown: time per parcel beside the
// classic service's in the same run, and the longest stall of the window's
// event loop. The minimum interval is 0, so that every round asks every
// parcel. Run by hand: bench_services [rounds [trials]]
#include "app/Features.h"
#include "watch/BookWatchPanel.h"
#include "Bench.h"
#include "app/Form1.h"
#include "store/Store.h"
#include "watch/BookWatch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int Parcels = 1000;

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
        s += QStringLiteral(
                 "{\"time\":\"2026-12-0%1 1%2:00:00\",\"context\":\"[杭州市]快件到达【杭州转运中心】第%3站\"}")
                 .arg(8 - e / 10)
                 .arg(e % 10)
                 .arg(events - e)
                 .toUtf8();
    }
    return s + "]}";
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

struct Result {
    double firstMs = 0, laterMs = 0, stallMs = 0;
    RoundSummary first, later;
};

Result measure(const QString &service, const QString &host, const QString &seedPath, int rounds)
{
    QTemporaryDir dir;
    Config cfg;
    cfg.service = service;
    cfg.trackingHost = host;
    cfg.serviceSettings = {
        {QStringLiteral("kdniao/url"), QStringLiteral("http://%1/Ebusiness/EbusinessOrderHandle.aspx").arg(host)},
        {QStringLiteral("kdniao/business_id"), QStringLiteral("1237100")},
        {QStringLiteral("kdniao/api_key"), QStringLiteral("56da2cf8-c8a2-44b2-b6fa-476cd7d1ba17")},
        {QStringLiteral("17track/url"), QStringLiteral("http://%1/track/v2.2/").arg(host)},
        {QStringLiteral("17track/token"), QStringLiteral("8A3F5C2E9D0B14E7A6C2F0D9B8E71A53")}};
    cfg.minIntervalMinutes = 0;
    cfg.watchPauseMs = 0;
    cfg.makerHost = QStringLiteral("127.0.0.1:1");
    cfg.clockProbe = cfg.timeServer = QStringLiteral("http://127.0.0.1:1/");
    Platform none;
    Form1 w(dir.path(), cfg, none);
    Result r;
    if (!w.load(seedPath))
        std::abort();
    w.Timer3->stop();
    w.show();
    QApplication::processEvents();
    StallMeter meter;
    auto round = [&](RoundSummary &summary) {
        QEventLoop loop;
        QObject::connect(w.features().bookWatchPanel().watch(), &BookWatch::roundFinished, &loop, &QEventLoop::quit);
        meter.start();
        QElapsedTimer t;
        t.start();
        if (!w.features().bookWatchPanel().watch()->startRound())
            std::abort();
        loop.exec();
        r.stallMs = std::max(r.stallMs, meter.stopMs());
        summary = w.features().bookWatchPanel().watch()->lastRound();
        return t.nsecsElapsed() / 1e6;
    };
    r.firstMs = round(r.first);
    for (int i = 1; i < rounds; ++i)
        r.laterMs += round(r.later);
    r.laterMs /= std::max(1, rounds - 1);
    return r;
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(2, atoi(argv[1])) : 3;

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

    // Trials alternate the three services, and each service's time is set
    // beside classic's of the same trial: a burst of load on the machine
    // hits a pair alike. Medians over the trials.
    const int trials = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    std::printf("%d parcels, reply of 12 events, pause 0 ms, minimum interval 0, %d rounds each, %d trials\n\n",
                Parcels, rounds, trials);
    const QStringList names{QStringLiteral("classic"), QStringLiteral("kdniao"), QStringLiteral("17track")};
    QHash<QString, QList<Result>> results;
    for (int t = 0; t < trials; ++t)
        for (const QString &name : names)
            results[name].append(measure(name, host, seed.fileName(), rounds));
    auto median = [](QList<double> v) {
        std::sort(v.begin(), v.end());
        return v.isEmpty() ? 0.0 : v.at(v.size() / 2);
    };
    auto line = [](const QString &what, double value, const char *unit) {
        std::printf("%-48s %9.2f %s\n", qPrintable(what), value, unit);
    };
    const QList<Result> &classic = results.value(names.first());
    for (const QString &name : names.mid(1)) {
        const QList<Result> &rs = results.value(name);
        QList<double> first, later, firstRatio, laterRatio, stall, classicFirst, classicLater, classicStall;
        for (int t = 0; t < trials; ++t) {
            first << rs.at(t).firstMs / Parcels;
            later << rs.at(t).laterMs / Parcels;
            classicFirst << classic.at(t).firstMs / Parcels;
            classicLater << classic.at(t).laterMs / Parcels;
            firstRatio << rs.at(t).firstMs / classic.at(t).firstMs;
            laterRatio << rs.at(t).laterMs / classic.at(t).laterMs;
            stall << rs.at(t).stallMs;
            classicStall << classic.at(t).stallMs;
        }
        std::printf("%s: round 1 asked %d, failed %d; later rounds asked %d, failed %d\n", qPrintable(name),
                    rs.last().first.asked, rs.last().first.failed, rs.last().later.asked, rs.last().later.failed);
        line(name + QStringLiteral(", round 1 per parcel"), median(first), "ms");
        line(QStringLiteral("classic, round 1 per parcel"), median(classicFirst), "ms");
        line(QStringLiteral("  ratio (median of the trials' ratios)"), median(firstRatio), "x   (target: within 1.2 x)");
        line(name + QStringLiteral(", later rounds per parcel"), median(later), "ms");
        line(QStringLiteral("classic, later rounds per parcel"), median(classicLater), "ms");
        line(QStringLiteral("  ratio (median of the trials' ratios)"), median(laterRatio), "x   (target: within 1.2 x)");
        line(name + QStringLiteral(", longest event-loop stall"), median(stall), "ms  (target: under 20 ms)");
        line(QStringLiteral("classic, longest event-loop stall"), median(classicStall), "ms\n");
    }
    standIn.kill();
    standIn.waitForFinished();
    return 0;
}
