#pragma once
// What the benchmarks share: the median timing, the report lines and the
// seed of many saved parcels.
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <functional>

// Requests made in the benchmark's own process go through the program's
// network module, which lives beside the program.
inline const bool moduleDirChosen = [] {
    if (qEnvironmentVariableIsEmpty("PARCELIO_MODULE_DIR"))
        qputenv("PARCELIO_MODULE_DIR", PARCELIO_APP_DIR);
    return true;
}();

inline double medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer t;
        t.start();
        work();
        times << t.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void report(const char *what, double ours, const char *baseWhat, double base)
{
    std::printf("%-48s %9.2f ms\n%-48s %9.2f ms\n%-48s %9.1fx\n\n", what, ours, baseWhat, base, "  ratio",
                base > 0 ? ours / base : 0.0);
}

// Writes SQL that saves `parcels` parcels with goods "物品 <i> 号".
inline bool writeParcelSeed(const QString &path, int parcels)
{
    QFile seed(path);
    if (!seed.open(QIODevice::WriteOnly))
        return false;
    // Rows in batches, one statement per line end, as the store runs scripts.
    for (int i = 0; i < parcels; ++i) {
        seed.write(i % 500 == 0 ? "insert into kd100 (number, goods, company, num) values\n" : ",\n");
        seed.write(QStringLiteral("('7%1', '物品 %2 号', '中通快递', '0')")
                       .arg(i, 11, 10, QLatin1Char('0'))
                       .arg(i)
                       .toUtf8());
        if (i % 500 == 499 || i == parcels - 1)
            seed.write(";\n");
    }
    return true;
}

#include "app/Form1.h"
#include <QApplication>
#include <QTemporaryDir>
#include <memory>

// The real window, offscreen, on a book of `parcels` saved parcels, with
// every panel made and the window shown.
struct BenchWindow {
    QTemporaryDir dir;
    Platform none;
    std::unique_ptr<Form1> form;

    bool start(int parcels)
    {
        const QString seedPath = dir.path() + QStringLiteral("/seed.sql");
        if (!writeParcelSeed(seedPath, parcels))
            return false;
        form = std::make_unique<Form1>(dir.path(), Config(), none);
        form->buildPanels();
        if (!form->load(seedPath)) {
            std::fprintf(stderr, "database did not open\n");
            return false;
        }
        form->show();
        QApplication::processEvents();
        return true;
    }
};
