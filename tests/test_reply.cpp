// The classic service's reply read without a window: its result code, its
// events cut out by their markers, and the times in them (the display cases
// that go through the window are in test_query).
#include "tracking/Progress.h"
#include "tracking/Reply.h"

#include <QTest>

class TestReply : public QObject {
    Q_OBJECT
private slots:
    void resultCodeAndEntriesAreCutByMarkers();
    void replyReading_data();
    void replyReading();
    void timeTextsAndDurations();
};

void TestReply::resultCodeAndEntriesAreCutByMarkers()
{
    const auto code = [](const char *reply) { return resultCode(QString::fromUtf8(reply)); };
    QCOMPARE(code("{\"x\":1,\"errCode\":\"22\",\"errCode\":\"0\"}"), QStringLiteral("22"));
    QCOMPARE(code("{\"errCode\":\"\"}"), QString());
    QVERIFY(!code("{\"errCode\":0}"));
    QVERIFY(!code("{\"errCode\":\"3"));

    // "time" inside other keys raises the count but never makes a row, and
    // an event without its context makes none either.
    const QString reply = QString::fromUtf8(
        "{\"updatetime\":\"x\",\"data\":[{\"time\":\"t1\",\"ftime\":\"t1\",\"context\":\"a\\/b\"},"
        "{\"time\":\"t2\",\"context\":\"c\"},{\"time\":\"t3\"}]}");
    QCOMPARE(countTime(reply), 5);
    const auto e = progressEntries(reply, countTime(reply));
    QCOMPARE(e.size(), 2);
    QCOMPARE(e[1].sequence, 2);
    QCOMPARE(e[1].time, QStringLiteral("t2"));
    QCOMPARE(progressEntries(reply, 1).size(), 1);
    QCOMPARE(cutAfter(reply, QStringLiteral("\"time\":\""), 3), QStringLiteral("t3"));
}

void TestReply::replyReading_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    const auto row = [](const char *name, const char *reply, ReplyReading::Kind kind, const char *code,
                        const char *message = "") {
        QTest::newRow(name) << QString::fromUtf8(reply) << int(kind) << QString::fromUtf8(code)
                            << QString::fromUtf8(message);
    };
    row("no code", "{\"data\":[]}", ReplyReading::Unreadable, "");
    row("unquoted code", "{\"errCode\":0}", ReplyReading::Unreadable, "");
    row("empty code", "{\"errCode\":\"\"}", ReplyReading::Unreadable, "");
    row("code not a number", "{\"errCode\":\"abc\"}", ReplyReading::Unreadable, "abc");
    row("success", "{\"errCode\":\"0\",\"data\":[]}", ReplyReading::Success, "0");
    row("success spelled 0.0", "{\"errCode\":\" 0.0\"}", ReplyReading::Success, " 0.0");
    row("unknown number", "{\"errCode\":\"1\"}", ReplyReading::UnknownNumber, "1");
    // Only the bare "1" asks whether to keep the number; its other spellings
    // are failures that have no text of their own.
    row("1.0 is no unknown number", "{\"errCode\":\"1.0\"}", ReplyReading::Failure, "1.0");
    row("blank before 1", "{\"errCode\":\" 1\"}", ReplyReading::Failure, " 1");
    row("code 2", "{\"errCode\":\"2\"}", ReplyReading::Failure, "2",
        "验证码错误,可能此快递公司失效,请联系管理员");
    row("code 6", "{\"errCode\":\"6\"}", ReplyReading::Failure, "6", "递单号格式错误!请您检查..");
    row("code 22", "{\"errCode\":\"22\"}", ReplyReading::Failure, "22",
        "非常抱歉!API今日查询次数已尽,请您明日再使用!");
    row("code without text", "{\"errCode\":\"8\"}", ReplyReading::Failure, "8");
    row("negative code", "{\"errCode\":\"-3\"}", ReplyReading::Failure, "-3");
    row("first code counts", "{\"errCode\":\"3\",\"errCode\":\"0\"}", ReplyReading::Failure, "3",
        "链接查询服务器失败!请稍后再试..");
}

void TestReply::replyReading()
{
    QFETCH(QString, reply);
    QFETCH(int, kind);
    QFETCH(QString, code);
    QFETCH(QString, message);
    const ReplyReading r = readReply(reply);
    QCOMPARE(int(r.kind), kind);
    QCOMPARE(r.code, code);
    QCOMPARE(r.message, message);
    // The book watch's reading must judge the code as the queries do.
    const TrackingReading t = readTrackingReply(reply);
    QCOMPARE(int(t.reply.kind), kind);
    const TrackingReading::Kind expected = kind == ReplyReading::Unreadable ? TrackingReading::Unreadable
                                           : kind == ReplyReading::Success  ? TrackingReading::NoEvents
                                                                            : TrackingReading::Failure;
    QCOMPARE(int(t.kind), int(expected));
}

void TestReply::timeTextsAndDurations()
{
    const QDateTime expected(QDate(2024, 1, 5), QTime(8, 3, 4));
    for (const char *text : {"2024-01-05 08:03:04", "2024/1/5 8:03:04", "2024-01-05T08:03:04"})
        QCOMPARE(parseEventTime(QLatin1String(text)), expected);
    QCOMPARE(parseEventTime(QStringLiteral("2024-01-05 08:03")), expected.addSecs(-4));
    QVERIFY(!parseEventTime(QStringLiteral("2024-13-45 25:00:00")));
    QCOMPARE(durationText(2 * 86400 + 25 * 3600 + 60 + 59), QStringLiteral("3天1小时1分"));
    QCOMPARE(durationText(-(86400 + 3600 + 60)), QStringLiteral("-1天-1小时-1分"));
    QCOMPARE(durationText(86400 + 13 * 3600 + 5 * 60), QStringLiteral("1天13小时5分"));
    QCOMPARE(secondsBetween(QStringLiteral("2024-03-01 08:00:00"), QStringLiteral("?")), qint64(0));
}

QTEST_GUILESS_MAIN(TestReply)
#include "test_reply.moc"
