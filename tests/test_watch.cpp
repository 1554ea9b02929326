// Loop and timed queries, and the e-mail about news.
#include "app/Features.h"
#include "watch/NewsTeller.h"
#include "support/Harness.h"
#include "support/MailSink.h"
#include "support/StandIn.h"
#include "watch/Mail.h"

#include <QDir>
#include <QJsonArray>
#include <QTcpServer>
#include <QTest>

namespace {
// One parcel under way, the one the loop and timed tests re-query.
const char *const OneKeyboard = "insert into kd100 (id, number, goods, company, num) values "
                                "(1, '700000000001', '键盘', '中通快递', '0');\n";

// Stand-in fixtures in which every number answers with the same events,
// and one of them 400 ms late.
bool sameEventsFor(const QTemporaryDir &fixtures, const QStringList &numbers, const QString &late)
{
    if (!QDir(fixtures.path()).mkpath(QStringLiteral("tracking")))
        return false;
    for (const QString &n : numbers)
        if (!QFile::copy(QStringLiteral(PARCELIO_SOURCE_DIR "/tools/standin/fixtures/tracking/100000000003.json"),
                         fixtures.filePath(QStringLiteral("tracking/%1.json").arg(n))))
            return false;
    QFile delay(fixtures.filePath(QStringLiteral("tracking/%1.delay").arg(late)));
    return delay.open(QIODevice::WriteOnly) && delay.write("400") == 3;
}

const QString LoopText = QStringLiteral("请先查询单号后在使用本功能!");
const QString TimedText = QStringLiteral("请先查询单号后在使用定时功能!");
const QString SignedText = QStringLiteral("当前快递已签收,您不需要使用此功能");
const QString Failed = QStringLiteral("最新信息发送失败!错误原因");
const QString Sent = QStringLiteral("快递有最新进展，已发送至邮箱!");

// Locked: only the courier directory is usable, as while a mode runs.
bool menuIs(Form1 &w, bool locked)
{
    for (int i = 1; i <= 7; ++i)
        if (w.Image2(i)->isEnabled() != (!locked || i == 6))
            return false;
    return w.Text1->isEnabled() != locked;
}
bool menuLocked(Form1 &w)
{
    return menuIs(w, true);
}
bool menuFree(Form1 &w)
{
    return menuIs(w, false);
}

QString lastBox(Harness &h)
{
    return h.platform.box.shown.isEmpty() ? QString() : h.platform.box.shown.last().text;
}

// The parcel shown as after a query, without asking the service.
void pretendQueried(Form1 &w, const QString &state)
{
    w.Text1->setCurrentIndex(0);
    w.Label12(5)->setText(QStringLiteral("1天2小时3分"));
    w.Label12(2)->setText(state);
    w.CurrentParcel.status = statusFromWords(state);
}
} // namespace

class TestWatch : public QObject {
    Q_OBJECT
private slots:
    void refusalsLocksAndFrameSwitches();
    void requeriesKeepCadenceAndNeverOverlap();
    void newsMailReachesRelay();
    void mailFailuresEndInStatus();
    void modesStopWhenTheirParcelIsGone();
    void loopTicksMeetAddAndF8();
};

void TestWatch::refusalsLocksAndFrameSwitches()
{
    StandIn standIn;
    QVERIFY(standIn.isRunning());
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    QVERIFY(h.startSeeded("insert into kd100 (id, number, goods, company, num) values "
                          "(1, '100000000003', '键盘', '中通快递', '0');\n"));
    Form1 &w = h.w();
    // The window decides by the shown parcel's status, not by its labels.
    struct Refusal {
        bool chosen;
        Status status;
        int interval;
        QString loop, timed;
    };
    const QList<Refusal> refusals = {
        {false, Status::InTransit, 0, LoopText, TimedText},
        {true, Status::Unknown, 0, LoopText, TimedText},
        {true, Status::InTransit, -1, QStringLiteral("请先设定时间!"), QString()},
        {true, Status::Signed, 0, SignedText, SignedText},
        {true, Status::PickedUp, 0, SignedText, SignedText},
    };
    for (const Refusal &r : refusals) {
        w.Text1->setCurrentIndex(r.chosen ? 0 : -1);
        w.CurrentParcel.status = r.status;
        w.Combo4->setCurrentIndex(r.interval);
        h.platform.box.shown.clear();
        w.Command1(16)->click();
        QCOMPARE(lastBox(h), r.loop);
        QCOMPARE(w.Command1(16)->text(), QStringLiteral("开始循环"));
        if (!r.timed.isEmpty()) {
            w.Command1(18)->click();
            QCOMPARE(lastBox(h), r.timed);
            QCOMPARE(w.Command1(18)->text(), QStringLiteral("开始定时"));
        }
        QVERIFY(!w.Timer6->isActive() && !w.Timer4->isActive() && menuFree(w));
        QCOMPARE(h.platform.box.shown.last().title, QStringLiteral("Tesmar系列软件"));
    }

    // A running mode leaves only the courier directory; leaving its frame
    // asks first. The frame switch with nothing running asks nothing.
    pretendQueried(w, QStringLiteral("运输中"));
    w.Combo4->setCurrentIndex(4);
    h.platform.box.shown.clear();
    w.Command1(17)->click();
    QVERIFY(h.platform.box.shown.isEmpty() && !w.Frame6->isHidden() && w.Frame4->isHidden());
    w.Command1(16)->click();
    QCOMPARE(w.Command1(16)->text(), QStringLiteral("停止循环"));
    QVERIFY(w.Timer6->isActive() && menuLocked(w) && !w.Combo4->isEnabled());
    w.Command1(15)->click(); // answered No
    QCOMPARE(lastBox(h), QStringLiteral("当前正在循环查询,是否终止?"));
    QVERIFY(w.Timer6->isActive() && !w.Frame6->isHidden() && menuLocked(w));
    h.platform.box.setNextAnswer(MessageBox::AnswerYes);
    w.Command1(15)->click();
    QVERIFY(!w.Timer6->isActive() && w.Frame6->isHidden() && !w.Frame4->isHidden());
    QCOMPARE(w.Command1(16)->text(), QStringLiteral("开始循环"));
    QVERIFY(menuFree(w) && w.Combo4->isEnabled());

    // Untouched pickers arm the timed query for midnight.
    w.Command1(18)->click();
    QCOMPARE(w.Command1(18)->text(), QStringLiteral("关闭定时"));
    QVERIFY(w.Timer4->isActive() && menuLocked(w) && !w.Combo2->isEnabled() && !w.Combo3->isEnabled());
    // The add panel's query, ending on a failure code, keeps that lock too.
    w.Check8->setChecked(false);
    QTest::keyClick(w.ListView1, Qt::Key_F4);
    w.Text3->setEditText(QStringLiteral("900000000002"));
    w.chooseCourier(w.Command1(12), QStringLiteral("中通快递"));
    w.Text2->setText(QStringLiteral("书"));
    w.Command1(13)->click();
    QVERIFY(!w.Timer7->isActive() && w.AniGIF1->isHidden());
    QVERIFY(menuLocked(w));
    w.Command1(17)->click(); // answered No
    QCOMPARE(lastBox(h), QStringLiteral("当前正在定时查询,是否终止?"));
    QVERIFY(w.Timer4->isActive() && !w.Frame4->isHidden());
    h.platform.box.setNextAnswer(MessageBox::AnswerYes);
    w.Command1(17)->click();
    QVERIFY(!w.Timer4->isActive() && w.Frame4->isHidden() && !w.Frame6->isHidden());
    QCOMPARE(w.Command1(18)->text(), QStringLiteral("开始定时"));
    QVERIFY(menuFree(w) && w.Combo2->isEnabled() && w.Combo3->isEnabled());
}

void TestWatch::requeriesKeepCadenceAndNeverOverlap()
{
    // A parcel whose service answers after 400 ms, so ticks can arrive
    // while a re-query waits.
    QTemporaryDir fixtures;
    QVERIFY(sameEventsFor(fixtures, {"700000000001"}, "700000000001"));
    const QString base = fixtures.filePath(QStringLiteral("tracking/700000000001"));
    StandIn standIn(fixtures.path());
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    QVERIFY(h.startSeeded(OneKeyboard));
    Form1 &w = h.w();
    auto queries = [&] { return standIn.countRequests(QStringLiteral("/?id=")); };
    pretendQueried(w, QStringLiteral("运输中"));

    // Every third minute, the first one three minutes after the start; a
    // restart counts from zero again.
    w.Combo4->setCurrentText(QStringLiteral("3"));
    w.Command1(16)->click();
    QString firings;
    for (int minute = 1; minute <= 7; ++minute) {
        const int before = queries();
        w.Timer6_Timer();
        if (queries() > before)
            firings += QString::number(minute);
        QVERIFY(w.loopMinutes < 3);
        if (minute == 4) {
            QTRY_VERIFY(w.Label12(5)->text() != QStringLiteral("未查询"));
            w.Command1(16)->click();
            w.Command1(16)->click();
        }
    }
    QCOMPARE(firings, QStringLiteral("37"));
    // The display of a re-query keeps the loop's lock.
    QTRY_VERIFY(w.Label12(5)->text() != QStringLiteral("未查询"));
    QVERIFY(menuLocked(w) && w.ListView1->isEnabled());

    // Ticks that come due while a re-query waits start no second one.
    w.Command1(16)->click();
    w.Combo4->setCurrentText(QStringLiteral("1"));
    w.Command1(16)->click();
    int start = queries();
    QTimer::singleShot(100, &w, [&w] {
        w.Timer6_Timer();
        w.Timer6_Timer();
    });
    w.Timer6_Timer();
    QCOMPARE(queries(), start + 1);
    w.Timer6_Timer();
    QCOMPARE(queries(), start + 2);
    QTRY_VERIFY(w.Label12(5)->text() != QStringLiteral("未查询"));

    // The timed query fires once at its minute and stays fired.
    h.platform.box.setNextAnswer(MessageBox::AnswerYes);
    w.Command1(15)->click();
    w.Combo2->setCurrentText(QStringLiteral("9"));
    w.Combo3->setCurrentText(QStringLiteral("15"));
    w.Command1(18)->click();
    start = queries();
    h.platform.clockDouble.set(9, 14, 59);
    w.Timer4_Timer();
    QCOMPARE(queries(), start);
    h.platform.clockDouble.set(9, 15, 0);
    QTimer::singleShot(100, &w, [&w] { w.Timer4_Timer(); });
    w.Timer4_Timer();
    QCOMPARE(queries(), start + 1);
    QVERIFY(!w.Timer4->isActive());
    QTRY_VERIFY(w.Label12(5)->text() != QStringLiteral("未查询"));
    w.Timer4_Timer();
    QCOMPARE(w.Command1(18)->text(), QStringLiteral("关闭定时"));
    QVERIFY(menuLocked(w));
    w.Command1(18)->click(); // only unlocks
    QVERIFY(menuFree(w));
    QCOMPARE(queries(), start + 1);

    // A re-query the service refuses, and the watchdog's reset, keep the lock.
    QFile refusal(base + QStringLiteral(".json"));
    QVERIFY(refusal.open(QIODevice::WriteOnly | QIODevice::Truncate));
    refusal.write(R"({"errCode":"2","message":"接口参数错误"})");
    refusal.close();
    w.Command1(18)->click();
    QVERIFY(menuLocked(w));
    h.platform.clockDouble.set(9, 15, 30);
    w.Timer4_Timer();
    QCOMPARE(queries(), start + 2);
    QVERIFY(menuLocked(w));
    w.csh();
    QVERIFY(menuLocked(w));
}

void TestWatch::newsMailReachesRelay()
{
    StandIn standIn;
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    MailSink sink;
    QVERIFY2(sink.isRunning(), "tools/mailsink.py did not start (is python3-aiosmtpd installed?)");
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    h.setIni(QStringLiteral("mail/relay"), sink.host());
    h.setIni(QStringLiteral("mail/user"), QStringLiteral("notice@tesmar.test"));
    h.setIni(QStringLiteral("mail/password"), QStringLiteral("pw481207"));
    h.setIni(QStringLiteral("mail/tls"), QStringLiteral("off")); // a local relay without TLS
    QVERIFY(h.startSeeded("insert into kd100 (id, number, goods, company, num) values "
                          "(1, '100000000003', '键盘<b>&amp;''x''', '中通快递', '0');\n"));
    Form1 &w = h.w();
    const QString goods = QStringLiteral("键盘<b>&amp;'x'");
    w.Sendmail->setText(QStringLiteral("user@example.com"));
    w.Check2->setChecked(true);
    w.noticeUrl = QStringLiteral("javascript:alert(1)");
    w.noticeCaption = QStringLiteral("<i>公告</i>");
    w.setListIndex(0);
    QTRY_COMPARE(w.status(), Sent);

    QCOMPARE(sink.messages().size(), 1);
    const QJsonObject m = sink.messages().first();
    QCOMPARE(m[QStringLiteral("user")].toString(), QStringLiteral("notice@tesmar.test"));
    QCOMPARE(m[QStringLiteral("password")].toString(), QStringLiteral("pw481207"));
    QCOMPARE(m[QStringLiteral("mail_from")].toString(), QStringLiteral("notice@tesmar.test"));
    QCOMPARE(m[QStringLiteral("rcpt_tos")].toArray().first().toString(), QStringLiteral("user@example.com"));
    QCOMPARE(m[QStringLiteral("from")].toString(), QStringLiteral("TesmarParcelio <notice@tesmar.test>"));
    QCOMPARE(m[QStringLiteral("to")].toString(), QStringLiteral("user@example.com"));
    QCOMPARE(m[QStringLiteral("subject")].toString(),
             QStringLiteral("您的快递【") + goods + QStringLiteral("】有最新动态 - TesmarParcelio"));
    QVERIFY(m[QStringLiteral("raw_subject")].toString().startsWith(QStringLiteral("Subject: =?UTF-8?B?")));
    QCOMPARE(m[QStringLiteral("charset")].toString(), QStringLiteral("utf-8"));

    // The values in their order, escaped; no markup of theirs survives.
    const QString html = m[QStringLiteral("html")].toString();
    const QTreeWidgetItem *newest = w.ListView1->topLevelItem(0);
    const QStringList pieces = {
        QStringLiteral("【键盘&lt;b&gt;&amp;amp;&#39;x&#39;】（100000000003）"),
        newest->text(1) + QLatin1Char(' ') + htmlEscaped(newest->text(2)),
        QStringLiteral("约已派送：<font style='font-weight:bold;color:red;'>") + w.Label12(5)->text(),
        QStringLiteral("color:blue;'>中通快递</font>公司接单起计算"),
        QStringLiteral("<a href='' target='_blank'"),
        QStringLiteral(">&lt;i&gt;公告&lt;/i&gt;</a>"),
    };
    qsizetype at = 0;
    for (const QString &piece : pieces) {
        const qsizetype found = html.indexOf(piece, at);
        QVERIFY2(found >= 0, qPrintable(piece));
        at = found + piece.size();
    }
    QVERIFY(!html.contains(QStringLiteral("<b>&amp;")) && !html.contains(QStringLiteral("javascript")));

    // A web address is linked as given (escaped for the attribute).
    w.noticeUrl = QStringLiteral("https://www.tesmar.cn/n?a=1&b='2'");
    w.emailgx();
    QCOMPARE(w.status(), Sent);
    QVERIFY(sink.messages().last()[QStringLiteral("html")].toString().contains(
        QStringLiteral("href='https://www.tesmar.cn/n?a=1&amp;b=&#39;2&#39;'")));

    // The program quits (its last window closed) while a slow relay takes
    // the mail: quitting ends every event loop, the send's too. The mail is
    // not said sent before it is, and the exit still delivers it.
    MailSink slow({QStringLiteral("--delay"), QStringLiteral("1")});
    QVERIFY(slow.isRunning());
    Harness quitting;
    quitting.setIni(QStringLiteral("mail/relay"), slow.host());
    quitting.setIni(QStringLiteral("mail/tls"), QStringLiteral("off"));
    QVERIFY(quitting.start());
    Form1 &q = quitting.w();
    q.Text1->addItem(QStringLiteral("键盘"));
    q.Text1->setCurrentIndex(0);
    q.CurrentParcel.newest = {QStringLiteral("2026-03-03 10:00:00"), QStringLiteral("到达")};
    q.Sendmail->setText(QStringLiteral("user@example.com"));
    QString said;
    qsizetype arrived = -1;
    QTimer::singleShot(0, &q, [&] {
        q.emailgx();
        said = q.status();
        arrived = slow.messages().size();
    });
    QTimer::singleShot(300, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    QTRY_VERIFY(arrived >= 0);
    QVERIFY2(said != Sent || arrived == 1, qPrintable(said));
    q.finishNewsBeforeExit();
    QCOMPARE(slow.messages().size(), 1);
}

void TestWatch::mailFailuresEndInStatus()
{
    MailSink sink({QStringLiteral("--refuse"), QStringLiteral("refused")});
    QVERIFY2(sink.isRunning(), "tools/mailsink.py did not start (is python3-aiosmtpd installed?)");
    // Offers STARTTLS with a certificate nobody trusts: the program must try
    // it (and fail on the certificate) rather than log in in clear.
    MailSink tlsSink({QStringLiteral("--starttls")});
    QVERIFY(tlsSink.isRunning());
    QTcpServer silent; // takes the connection and never greets
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    quint16 closedPort = 0;
    {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        closedPort = gone.serverPort();
    }
    const struct {
        QString relay, recipient, goods, tls = QStringLiteral("try");
    } cases[] = {
        {sink.host(), QStringLiteral("refused@example.com"), QStringLiteral("键盘")},
        {sink.host(), QStringLiteral("user@example.com\r\nBcc: x@example.com"), QStringLiteral("键盘")},
        {sink.host(), QStringLiteral("user@example.com"), QStringLiteral("键盘\r\nBcc: x@example.com")},
        // Stored before the settings panel refused it: still one address only.
        {sink.host(), QStringLiteral("a@example.com,b@example.com"), QStringLiteral("键盘")},
        {QStringLiteral("127.0.0.1:%1").arg(closedPort), QStringLiteral("user@example.com"),
         QStringLiteral("键盘")},
        {QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()), QStringLiteral("user@example.com"),
         QStringLiteral("键盘")},
        {tlsSink.host(), QStringLiteral("user@example.com"), QStringLiteral("键盘")},
        // TLS required of a relay that offers none: nothing goes out in clear.
        {sink.host(), QStringLiteral("user@example.com"), QStringLiteral("键盘"), QStringLiteral("required")},
        // Required too when no tls is set and a password is (the compiled-in one).
        {sink.host(), QStringLiteral("user@example.com"), QStringLiteral("键盘"), QString()},
    };
    for (const auto &c : cases) {
        Harness h;
        h.setIni(QStringLiteral("mail/relay"), c.relay);
        if (!c.tls.isNull())
            h.setIni(QStringLiteral("mail/tls"), c.tls);
        QVERIFY(h.start());
        Form1 &w = h.w();
        w.features().newsTeller().mailLimitMs = 1500;
        w.Text1->addItem(c.goods);
        w.Text1->setCurrentIndex(0);
        w.CurrentParcel.newest = {QStringLiteral("2026-03-03 10:00:00"), QStringLiteral("到达")};
        w.Sendmail->setText(c.recipient);
        // The window goes on while the relay is waited for.
        QString during;
        QTimer::singleShot(50, &w, [&] { during = w.status(); });
        w.emailgx();
        QVERIFY2(w.status().startsWith(Failed) && w.status().size() > Failed.size(),
                 qPrintable(c.relay + QLatin1Char(' ') + w.status()));
        if (c.relay.endsWith(QString::number(silent.serverPort())))
            QCOMPARE(during, QStringLiteral(" 正发送最新动态邮件,请稍等.."));
        if (c.relay == tlsSink.host())
            QVERIFY2(w.status().contains(QStringLiteral("SSL")), qPrintable(w.status()));
    }
    QVERIFY(sink.messages().isEmpty() && tlsSink.messages().isEmpty());
}

void TestWatch::modesStopWhenTheirParcelIsGone()
{
    // Three parcels with the same events; every answer is news to them.
    QTemporaryDir fixtures;
    QVERIFY(sameEventsFor(fixtures, {"700000000001", "700000000002", "700000000003"}, "700000000003"));
    StandIn standIn(fixtures.path());
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    QVERIFY(h.startSeeded(
        "insert into kd100 (id, number, goods, company, num) values "
        "(1, '700000000001', '键盘', '中通快递', '0'), (2, '700000000002', '鞋', '中通快递', '0'),"
        "(3, '700000000003', '灯', '中通快递', '0');\n"));
    Form1 &w = h.w();
    w.Check3->setChecked(true);
    auto queries = [&] { return standIn.countRequests(QStringLiteral("/?id=")); };

    // The loop's parcel is removed by a command beside the window: the
    // loop stops at its next tick and says why; nothing is asked or told.
    pretendQueried(w, QStringLiteral("运输中"));
    w.Combo4->setCurrentText(QStringLiteral("1"));
    w.Command1(16)->click();
    QVERIFY(h.execStatements({QStringLiteral("delete from kd100 where id=1")}));
    const int before = queries();
    w.Timer6_Timer();
    w.Timer6_Timer();
    QCOMPARE(queries(), before);
    QCOMPARE(w.Command1(16)->text(), QStringLiteral("开始循环"));
    QVERIFY(menuFree(w));
    QCOMPARE(w.status(), QStringLiteral("此快递已被删除,循环查询已停止.."));

    // The same for the timed query when its minute comes.
    w.sX();
    pretendQueried(w, QStringLiteral("运输中")); // now the parcel of row 2
    w.Command1(15)->click();
    w.Combo2->setCurrentText(QStringLiteral("9"));
    w.Combo3->setCurrentText(QStringLiteral("15"));
    w.Command1(18)->click();
    QVERIFY(h.execStatements({QStringLiteral("delete from kd100 where id=2")}));
    h.platform.clockDouble.set(9, 15, 0);
    w.Timer4_Timer();
    QCOMPARE(queries(), before);
    QCOMPARE(w.Command1(18)->text(), QStringLiteral("开始定时"));
    QVERIFY(menuFree(w));
    QCOMPARE(w.status(), QStringLiteral("此快递已被删除,定时查询已停止.."));

    // Removed while its query waits: the answer's news is told to nobody.
    w.sX();
    QTimer::singleShot(100, &w,
                       [&h] { QVERIFY(h.execStatements({QStringLiteral("delete from kd100 where id=3")})); });
    w.setListIndex(0);
    QTRY_VERIFY(w.Text1->isEnabled());
    QCOMPARE(queries(), before + 1);
    QVERIFY(h.platform.player.played.isEmpty());
}

void TestWatch::loopTicksMeetAddAndF8()
{
    QTemporaryDir fixtures;
    QVERIFY(sameEventsFor(fixtures, {"700000000001", "700000000009"}, "700000000009"));
    StandIn standIn(fixtures.path());
    QVERIFY2(standIn.isRunning(), qPrintable(standIn.errorString()));
    Harness h;
    h.setIni(QStringLiteral("tracking/host"), standIn.host());
    QVERIFY(h.startSeeded(OneKeyboard));
    Form1 &w = h.w();
    w.setListIndex(0);
    QTRY_VERIFY(w.Text1->isEnabled());
    w.Combo4->setCurrentText(QStringLiteral("1"));
    w.Command1(16)->click();

    // A loop tick while the add panel's query waits must not load the
    // loop's parcel over the new one: that saved it with the loop
    // parcel's courier.
    QTest::keyClick(w.ListView1, Qt::Key_F4);
    w.Text3->setEditText(QStringLiteral("700000000009"));
    w.chooseCourier(w.Command1(12), QStringLiteral("申通快递"));
    w.Text2->setText(QStringLiteral("书"));
    QTimer::singleShot(100, &w, [&w] { w.Timer6_Timer(); });
    w.Command1(13)->click();
    QTRY_COMPARE(w.status(), QStringLiteral("查询完毕..."));
    const auto added = w.store().findParcels(ParcelField::Number, Match::Exact, QStringLiteral("700000000009"));
    QVERIFY(added && added->size() == 1);
    QCOMPARE(added->first().company, QStringLiteral("申通快递"));

    // F8 during the loop clears the selector; the next tick shows its
    // parcel with its entry chosen, not under an empty selector.
    QTest::keyClick(w.ListView1, Qt::Key_F8);
    QCOMPARE(w.Label12(2)->text(), QStringLiteral("未查询"));
    w.Timer6_Timer();
    QTRY_COMPARE(w.status(), QStringLiteral("查询完毕..."));
    QCOMPARE(w.Label12(7)->text(), QStringLiteral("申通快递"));
    QCOMPARE(w.Text1->currentText(), QStringLiteral("书"));
}

QTEST_MAIN(TestWatch)
#include "test_watch.moc"
