// Courier recognition in the add panel, against the stand-in services.
#include "support/Harness.h"
#include "support/StandIn.h"
#include "tracking/RecognitionText.h"

#include <QDir>
#include <QTimer>
#include <QtTest>

class TestRecognition : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { h.reset(); }
    void requestAndReplyCutting();
    void typingAndTheButton();
    void everyCaptionOfTheOutcome();
    void fastTypingEndsWithTheRequestThatFinishedLast();

private:
    QTemporaryDir fixtures;
    std::unique_ptr<StandIn> s;
    std::unique_ptr<Harness> h;
    int asked() const { return s->countRequests("/autonumber/auto"); }
};

void TestRecognition::initTestCase()
{
    // The shipped fixtures plus a slow number answered unlike its neighbours.
    const QString from = PARCELIO_SOURCE_DIR "/tools/standin/fixtures/autonumber";
    const QString to = fixtures.path() + "/autonumber";
    QVERIFY(QDir().mkpath(to));
    for (const QString &name : QDir(from).entryList(QDir::Files))
        QVERIFY(QFile::copy(from + "/" + name, to + "/" + name));
    QFile reply(to + "/7500000000.txt"), delay(to + "/7500000000.delay");
    QVERIFY(reply.open(QIODevice::WriteOnly) && delay.open(QIODevice::WriteOnly));
    reply.write("[{\"comCode\":\"ems\"}]");
    QFile named(to + "/7503000000.txt");
    QVERIFY(named.open(QIODevice::WriteOnly));
    named.write("[{\"comCode\":\"yunda\",\"num\":\"7503000000\"}]");
    named.close();
    delay.write("400");
    reply.close();
    delay.close();
    s = std::make_unique<StandIn>(fixtures.path());
    QVERIFY2(s->isRunning(), qPrintable(s->errorString()));
}

void TestRecognition::init()
{
    h = std::make_unique<Harness>();
    h->allPanels = true; // reaches into panels it has not opened
    h->setIni("recognition/host", s->host());
    QVERIFY(h->start());
    QTest::keyClick(h->w().ListView1, Qt::Key_F4);
}

void TestRecognition::requestAndReplyCutting()
{
    QCOMPARE(recognitionUrl("h:1", "+12 3"), QString("http://h:1/autonumber/auto?num=%2B12%203"));
    // From the first marker up to the second; the code ends at a quote.
    const auto tail = recognitionTailOf("[{\"comCode\":\"ems\",\"id\":\"\"},{\"comCode\":\"jd\"}]");
    QCOMPARE(tail.value_or("none"), QString("ems\",\"id\":\"\"},{\""));
    QCOMPARE(recognizedCodeOf(*tail), QString("ems"));
    QCOMPARE(recognizedCodeOf("yunda"), QString());
    QVERIFY(!recognitionTailOf("{\"message\":\"no data\"}"));
}

void TestRecognition::typingAndTheButton()
{
    Form1 &w = h->w();
    const int before = asked();
    QTest::keyClicks(w.Text3->lineEdit(), "370000000012");
    QCOMPARE(asked() - before, 3); // at 10, 11 and 12 characters
    QCOMPARE(s->requests().last().section('\t', 1, 1), QString("/autonumber/auto?num=370000000012"));
    QCOMPARE(w.Command1(12)->text(), QString("申通快递"));

    // Anything but a letter or digit empties the box; too short then to ask.
    w.Text3->setEditText(QString());
    QTest::keyClicks(w.Text3->lineEdit(), "31/");
    QVERIFY(w.Text3->currentText().isEmpty());
    QTest::keyClicks(w.Text3->lineEdit(), "310000000"); // nine: never asks
    w.Command2->click();
    QCOMPARE(asked() - before, 3);

    // Switched off: typing does not ask, the button still does.
    w.Check8->setChecked(false);
    QTest::keyClicks(w.Text3->lineEdit(), "001");
    QCOMPARE(asked() - before, 3);
    QCOMPARE(w.Command1(12)->text(), QString("申通快递"));
    w.Command2->click();
    QCOMPARE(asked() - before, 4);
    QCOMPARE(w.Command1(12)->text(), QString("韵达快递"));

    // Pasted text: the box keeps the number in it, the goods the words beside.
    w.Check8->setChecked(true);
    w.Text2->clear();
    w.Text3->setEditText("订单 蓝牙耳机 运单号:370000000012\n客服电话13812345678");
    QCOMPARE(w.Text3->currentText(), QString("370000000012"));
    QCOMPARE(w.Text2->text(), QString("订单 蓝牙耳机"));
    QCOMPARE(w.Command1(12)->text(), QString("申通快递"));
    // A letter-digit number stands in the box and is recognised; among
    // words or in lower case it comes in as the intake writes it.
    w.Text3->setEditText("运单 sf1234567890123");
    QCOMPARE(w.Text3->currentText(), QString("SF1234567890123"));
    QCOMPARE(w.Command1(12)->text(), QString("顺丰快递"));
    QCOMPARE(s->requests().last().section('\t', 1, 1), QString("/autonumber/auto?num=SF1234567890123"));
    QTest::keyClick(w.Text3->lineEdit(), Qt::Key_4);
    QCOMPARE(w.Text3->currentText(), QString("SF12345678901234"));
    w.Text3->setEditText("SF1234 5678"); // a blank is not part of a number
    QVERIFY(w.Text3->currentText().isEmpty());
    // Typed, a letter-digit number keeps its letters, upper-cased.
    QTest::keyClicks(w.Text3->lineEdit(), "yt7000000000041");
    QCOMPARE(w.Text3->currentText(), QString("YT7000000000041"));
    QCOMPARE(s->requests().last().section('\t', 1, 1), QString("/autonumber/auto?num=YT7000000000041"));
}

void TestRecognition::everyCaptionOfTheOutcome()
{
    Form1 &w = h->w();
    w.Check8->setChecked(false);
    const char *cases[][2] = {
        {"5030000000001", "检测出错,请手动选择或多次刷新"},
        {"7503000000", "检测出错,请手动选择或多次刷新"},      // "503" inside the number
        {"4040000000001", "检测出错,请查询您的单号是否正确"}, // no comCode
        {"777700000000", "未找到对应快递,请手动选择"},
        {"1000000000042", "顺丰快递"},
    };
    for (const auto &c : cases) {
        w.Text3->setEditText(c[0]);
        w.Command2->click();
        QCOMPARE(w.Command1(12)->text(), QString::fromUtf8(c[1]));
    }

    Harness dead;          // no answer: the caption keeps saying it is checking
    dead.allPanels = true; // reaches into the add panel it has not opened
    dead.setIni("recognition/host", "127.0.0.1:9");
    QVERIFY(dead.start());
    dead.w().Text3->setEditText("100000000001");
    QCOMPARE(dead.w().Command1(12)->text(), QString("正在检测快递"));
}

void TestRecognition::fastTypingEndsWithTheRequestThatFinishedLast()
{
    Form1 &w = h->w();
    w.Text3->setEditText("750000000");
    const int before = asked();
    // The next key arrives while the slow request for ten characters waits.
    QString afterInner;
    QTimer::singleShot(100, &w, [&] {
        w.Text3->setEditText("75000000001");
        afterInner = w.Command1(12)->text();
    });
    w.Text3->setEditText("7500000000");
    QCOMPARE(asked() - before, 2);
    QCOMPARE(afterInner, QString("中通快递"));
    QCOMPARE(w.Command1(12)->text(), QString("EMS")); // the outer one wrote last
}

QTEST_MAIN(TestRecognition)
#include "test_recognition.moc"
