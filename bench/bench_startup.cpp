// Start-up: from process start to the window shown, with 10,000 saved
// parcels, against an empty Qt window program measured in the same run.
// Prints medians of wall time and peak memory and their ratios.
#include "Spawn.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {
// baseline: the same program of an earlier build (PARCELIO_BENCH_BASELINE),
// on a copy of the same book; empty when none is given.
void measure(const QString &program, const QString &empty, int parcels, int rounds, const char *where,
             const QString &baseline)
{
    std::vector<double> appMs, emptyMs, labelMs, baseMs;
    std::vector<long> appKb, emptyKb, labelKb, baseKb;
    runOnce(program, {"--quit-after-show"}); // warm the file cache for all
    runOnce(empty, {});
    runOnce(empty, {"--label"});
    if (!baseline.isEmpty())
        runOnce(baseline, {"--quit-after-show"});
    // Paired rounds: a burst of load on the machine hits all of them alike.
    for (int i = 0; i < rounds; ++i) {
        // The baseline runs beside the program, first in every other round:
        // a run right after another program's window starts differently (a
        // build compared with itself read 1.1 x under Xvfb otherwise).
        Run a{}, b{};
        const bool baseFirst = !baseline.isEmpty() && i % 2 == 1;
        if (baseFirst)
            b = runOnce(baseline, {"--quit-after-show"});
        a = runOnce(program, {"--quit-after-show"});
        if (!baseline.isEmpty() && !baseFirst)
            b = runOnce(baseline, {"--quit-after-show"});
        const Run e = runOnce(empty, {});
        const Run l = runOnce(empty, {"--label"});
        appMs.push_back(a.ms);
        appKb.push_back(a.peakKb);
        emptyMs.push_back(e.ms);
        emptyKb.push_back(e.peakKb);
        labelMs.push_back(l.ms);
        labelKb.push_back(l.peakKb);
        if (!baseline.isEmpty()) {
            baseMs.push_back(b.ms);
            baseKb.push_back(b.peakKb);
        }
    }
    const double am = median(appMs), em = median(emptyMs), lm = median(labelMs);
    const long ak = median(appKb), ek = median(emptyKb), lk = median(labelKb);
    std::printf("start-up with %d saved parcels, median of %d runs (%s)\n", parcels, rounds, where);
    std::printf("  parcelio                 %8.1f ms  %7ld KiB peak\n", am, ak);
    std::printf("  empty window             %8.1f ms  %7ld KiB peak\n", em, ek);
    std::printf("  window with one CJK label %7.1f ms  %7ld KiB peak\n", lm, lk);
    std::printf("  ratio to empty window     %7.2f x   %7.2f x   (target: within 1.5 x both)\n", am / em,
                double(ak) / double(ek));
    std::printf("  ratio to one-label window %7.2f x   %7.2f x\n", am / lm, double(ak) / double(lk));
    if (!baseline.isEmpty())
        std::printf("  ratio to the baseline build %6.3f x   %7.3f x   (%.1f ms, %ld KiB peak)\n",
                    median(appMs) / median(baseMs), double(median(appKb)) / double(median(baseKb)), median(baseMs),
                    median(baseKb));
}
} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime; // keeps Qt from warning about a missing runtime folder
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QCoreApplication app(argc, argv);
    const int parcels = 10000, rounds = 16;

    QTemporaryDir dir;
    const QString program = dir.path() + "/parcelio";
    QFile::copy(PARCELIO_APP_BIN, program);
    QFile::copy(QFileInfo(PARCELIO_APP_BIN).path() + "/skinh.she", dir.path() + "/skinh.she");
    // The program hands over to the window beside itself.
    QFile::copy(QFileInfo(PARCELIO_APP_BIN).path() + "/parcelio-window", dir.path() + "/parcelio-window");
    {
        Store store;
        if (store.open(dir.path()) != Store::OpenResult::Ok)
            return 1;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
        db.setDatabaseName(dir.path() + "/db/kd100.mdb");
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare("insert into kd100 (number, goods, company, num) values (?, ?, '顺丰快递', '0')");
        for (int i = 0; i < parcels; ++i) {
            q.addBindValue(QString::number(100000000000LL + i));
            q.addBindValue(QStringLiteral("包裹%1号").arg(i));
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase("fill");

    // An earlier build's program folder to compare with, on a copy of the book.
    QTemporaryDir baseDir;
    QString baseline;
    if (const QString from = qEnvironmentVariable("PARCELIO_BENCH_BASELINE"); !from.isEmpty()) {
        // Everything the program's folder holds (the book, its lock file, the
        // settings the warm-up run writes), then the earlier build's programs:
        // a folder that differs in anything else starts differently.
        runOnce(program, {"--quit-after-show"});
        QDirIterator files(dir.path(), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString file = files.next();
            const QString to = baseDir.path() + file.mid(dir.path().size());
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(file, to);
        }
        baseline = baseDir.path() + "/parcelio";
        for (const char *name : {"/parcelio", "/parcelio-window", "/skinh.she"}) {
            QFile::remove(baseDir.path() + name);
            QFile::copy(from + name, baseDir.path() + name);
        }
    }

    const QString empty = QString(PARCELIO_BIN_DIR) + "/empty_window";
    measure(program, empty, parcels, rounds, "offscreen", baseline);

    // The same under a real X server: Xvfb picks a free display and tells us.
    QProcess xvfb;
    xvfb.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    if (!xvfb.waitForReadyRead(10000)) {
        std::printf("Xvfb did not start: the X11 figures are missing\n");
        return 0;
    }
    const QByteArray display = ":" + xvfb.readLine().trimmed();
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    measure(program, empty, parcels, rounds, "Xvfb", baseline);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return 0;
}
