// News detection after a display: the label, the count stored, the sound.
#include "support/Harness.h"
#include "support/StandIn.h"
#include "tracking/Progress.h"

#include <QFile>
#include <QTest>

namespace {
QString reply(const char *newestContext)
{
    return QStringLiteral(
               "{\"errCode\":\"0\",\"data\":[{\"time\":\"2024-03-03 10:00:00\",\"context\":\"%1\"},"
               "{\"time\":\"2024-03-02 09:00:00\",\"ftime\":\"x\",\"context\":\"已发出\"},"
               "{\"time\":\"2024-03-01 08:00:00\",\"context\":\"已收件\"}]}")
        .arg(QString::fromUtf8(newestContext));
}

bool startSeeded(Harness &h, const QByteArray &rows)
{
    return h.startSeeded("insert into kd100 (id, number, goods, company, num) values " + rows + ";\n");
}
} // namespace

class TestChange : public QObject {
    Q_OBJECT
private slots:
    void countAndStateDecideNews();
    void newsIsAnnouncedOnce();
};

void TestChange::countAndStateDecideNews()
{
    struct Case {
        const char *id, *num, *newest;
        bool voice;
        const char *label;
        QColor colour;
        const char *stored; // row 2..4 after the check; "-" when there is no row
        int plays;
    };
    const QList<Case> cases = {
        // No stored count: this display is the baseline, nothing written.
        {"1", "", "到达网点", true, "无更新", Qt::white, "", 0},
        {"2", "0", "到达网点", true, "有更新", QColor(255, 0, 0), "3", 1},
        {"3", "3", "到达网点", true, "无更新", Qt::white, "3", 0},
        // Fewer events than stored: no news, the row keeps the larger count.
        {"4", "5", "到达网点", true, "无更新", Qt::white, "5", 0},
        // The row's count was raised meanwhile (a round told this news):
        // told once, so no alert here, and the row keeps its count.
        {"4", "1", "到达网点", true, "有更新", QColor(255, 0, 0), "5", 0},
        // Signed: never news, nothing stored.
        {"5", "0", "已签收", true, "已签收", Qt::white, "0", 0},
        // No saved row to address: the label changes, no alert.
        {"", "0", "到达网点", true, "有更新", QColor(255, 0, 0), "-", 0},
    };
    Harness h;
    QVERIFY(startSeeded(h, "(1, 'n', 'a', '中通快递', ''), (2, 'n', 'b', '中通快递', '0'),"
                           "(3, 'n', 'c', '中通快递', '3'), (4, 'n', 'd', '中通快递', '5'),"
                           "(5, 'n', 'e', '中通快递', '0')"));
    Form1 &w = h.w();
    for (const Case &c : cases) {
        w.Check3->setChecked(c.voice);
        w.CurrentParcel.id = QLatin1String(c.id);
        w.CurrentParcel.num = QLatin1String(c.num);
        w.CurrentService.reading = readTrackingReply(reply(c.newest));
        w.eventCount = qint16(w.CurrentService.reading.entries.size());
        w.ListView1->clear(); // as the query does before each request
        h.platform.player.played.clear();
        w.Timer1_Timer();
        const std::optional<qint64> id = rowIdOf(w.CurrentParcel.id);
        const auto row = id ? w.store().parcelById(*id) : RowLookup<ParcelRecord>{};
        const QString where = QStringLiteral("row %1 num %2").arg(QLatin1String(c.id), QLatin1String(c.num));
        QVERIFY2(w.Label12(3)->text() == QString::fromUtf8(c.label), qPrintable(where));
        QVERIFY2(w.Label12(3)->palette().color(QPalette::WindowText) == c.colour, qPrintable(where));
        QVERIFY2((row ? row->num : QStringLiteral("-")) == QLatin1String(c.stored), qPrintable(where));
        QVERIFY2(h.platform.player.played.size() == c.plays, qPrintable(where));
        if (c.plays)
            QCOMPARE(h.platform.player.played[0], h.appDir() + QStringLiteral("/ts.mp3"));
        // The count in memory stays until the parcel is chosen again.
        QCOMPARE(w.CurrentParcel.num, QLatin1String(c.num[0] ? c.num : "3"));
    }
}

void TestChange::newsIsAnnouncedOnce()
{
    StandIn standIn;
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    QVERIFY(startSeeded(h, "(1, '100000000003', '机械键盘', '中通快递', '0')"));
    Form1 &w = h.w();
    w.Check3->setChecked(true);
    w.setListIndex(0);
    QTRY_COMPARE(w.Label12(3)->text(), QStringLiteral("有更新"));
    const QString rows = QString::number(w.ListView1->topLevelItemCount());
    QCOMPARE(w.store().parcelById(1)->num, rows);
    // Chosen again with nothing new: the row's count is loaded, no news.
    w.setListIndex(0);
    QTRY_COMPARE(w.Label12(3)->text(), QStringLiteral("无更新"));
    QCOMPARE(w.store().parcelById(1)->num, rows);
    QCOMPARE(h.platform.player.played.size(), 1);
}

QTEST_MAIN(TestChange)
#include "test_change.moc"
