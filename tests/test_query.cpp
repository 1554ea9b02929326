// One query of a parcel against the local stand-in services.
#include "support/Harness.h"
#include "support/StandIn.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
using Events = QList<QPair<QString, QString>>; // time, context; newest first

QByteArray reply(const Events &events)
{
    QStringList items;
    for (const auto &[time, context] : events)
        items << QStringLiteral("{\"time\":\"%1\",\"ftime\":\"%1\",\"context\":\"%2\"}").arg(time, context);
    return QStringLiteral("{\"errCode\":\"0\",\"data\":[%1]}").arg(items.join(u',')).toUtf8();
}

QString stamp(qint64 secondsFromNow)
{
    return QDateTime::currentDateTime()
        .addSecs(secondsFromNow)
        .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}
} // namespace

class TestQuery : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { h = std::make_unique<Harness>(); }
    void cleanup() { h.reset(); }
    void getBodyDecodesAndNeverHangs();
    void requestAndResultCodes();
    void unknownNumberKeepOrDelete();
    void watchdogTellsAndLateReplyStillShows();
    void slowQueriesInARowStayQuiet();
    void displayCases();

private:
    void write(const QString &name, const QByteArray &content);
    void startWith(StandIn &s);
    void query(const QString &number);
    QTemporaryDir fixtures;
    std::unique_ptr<StandIn> shipped, own;
    std::unique_ptr<Harness> h;
};

void TestQuery::write(const QString &name, const QByteArray &content)
{
    QDir().mkpath(fixtures.path() + QStringLiteral("/tracking"));
    QFile f(fixtures.path() + QStringLiteral("/tracking/") + name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

void TestQuery::initTestCase()
{
    const Events one{{QStringLiteral("2024-03-01 08:00:00"), QStringLiteral("已收件")}};
    write(QStringLiteral("700000000001.json"), reply(one));
    // Lands after the scripted watchdog ticks, which run as the wait begins.
    write(QStringLiteral("700000000001.delay"), "600");
    write(QStringLiteral("700000000002.json"), reply(one));
    write(QStringLiteral("700000000002.delay"), "1500");
    write(QStringLiteral("700000000003.json"), "<html><body>Service Unavailable</body></html>");
    write(QStringLiteral("700000000003.status"), "503");
    write(QStringLiteral("700000000004.json"), "{\"errCode\":\"abc\"}");
    write(QStringLiteral("700000000005.json"), "{\"errCode\":\"0\",\"message\":\"ok\"}");
    write(QStringLiteral("700000000006.json"), "{\"data\":[{\"context\":\"中文\"}]}");
    write(QStringLiteral("700000000006.gbk"), "");
    write(QStringLiteral("700000000007.json"), reply(one));
    write(QStringLiteral("700000000007.never"), "");
    shipped = std::make_unique<StandIn>();
    own = std::make_unique<StandIn>(fixtures.path());
    QVERIFY(shipped->isRunning() && own->isRunning());
}

void TestQuery::startWith(StandIn &s)
{
    h->setIni(QStringLiteral("tracking/host"), s.host());
    h->setIni(QStringLiteral("maker/host"), shipped->host()); // current version: no message
    QVERIFY(h->startSeeded(
        "insert into kd100 (id, number, goods, company, num) values (1, '100000000003', '衣服', "
        "'中通快递', '0'), (2, '100000000004', '鞋', '中通快递', '0'), (3, '1', '书', '中通快递', '0');\n"));
    // Queries here outlast the second after load: let its unlock pass first.
    QVERIFY(h->passUpdateCheck());
}

// Queries a number as the shown parcel and lets its display run.
void TestQuery::query(const QString &number)
{
    Form1 &w = h->w();
    w.CurrentParcel = {number,
                       QStringLiteral("中通快递"),
                       QStringLiteral("zhongtong"),
                       QStringLiteral("衣服"),
                       QStringLiteral("0"),
                       QStringLiteral("1"),
                       {},
                       {}};
    w.Text1->setEnabled(false);
    w.setMenuEnabled(false);
    w.cx();
    QTRY_VERIFY(!w.Timer1->isActive());
}

void TestQuery::getBodyDecodesAndNeverHangs()
{
    startWith(*own);
    Form1 &w = h->w();
    const QString url = own->url(QStringLiteral("/?id=731845&secret=") + w.config().secret +
                                 QStringLiteral("&id=") + w.config().key + QStringLiteral("&nu="))
                            .toString();
    QVERIFY(w.GetBody(url + QStringLiteral("700000000006")).contains(QStringLiteral("\"中文\"")));
    QCOMPARE(w.GetBody(url + QStringLiteral("700000000003")),
             QStringLiteral("<html><body>Service Unavailable</body></html>"));
    QCOMPARE(w.GetBody(QStringLiteral("http://127.0.0.1:1/")), QString());
    // An answer that never comes is abandoned at the limit.
    w.requestLimitMs = 1200;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(w.GetBody(url + QStringLiteral("700000000007")), QString());
    // Not before the limit, and long before the default one of a minute,
    // however busy the machine is.
    QVERIFY2(clock.elapsed() >= 1100 && clock.elapsed() < 30000,
             qPrintable(QString::number(clock.elapsed())));
}

void TestQuery::requestAndResultCodes()
{
    startWith(*shipped);
    Form1 &w = h->w();
    w.setListIndex(0);
    QTRY_VERIFY(w.ListView1->topLevelItemCount() > 0);
    const QString line = shipped->requests().last();
    QVERIFY2(line.startsWith(QStringLiteral(
                 "GET\t/?id=731845&secret=5c1d8e0b7a2f4963d0e8b1c6a4f7e2d9&com=zhongtong"
                 "&nu=100000000003&id=B7D40C2E91A3F5680D4C7E1B93A2F065&type=json&ord=desc\t")) &&
                 line.contains(QStringLiteral("\tIf-Modified-Since: 0")),
             qPrintable(line));
    w.CurrentParcel.code = QStringLiteral("zt&o");
    QVERIFY(trackingUrlOf(w.config(), w.CurrentParcel.code, QStringLiteral("12 34+5"))
                .contains(QStringLiteral("&com=zt%26o&nu=12%2034%2B5&id=")));

    const QList<QPair<const char *, const char *>> codes = {
        {"02", "验证码错误,可能此快递公司失效,请联系管理员"},
        {"03", "链接查询服务器失败!请稍后再试.."},
        {"04", "程序内部错误!请稍后再试.."},
        {"05", "程序执行错误!请稍后再试.."},
        {"06", "递单号格式错误!请您检查.."},
        {"07", "快递公司错误错误!请您检查.."},
        {"10", "未知错误，请稍后再试.."},
        {"20", "API错误..请联系管理员检查.."},
        {"21", "API出问题,请联系管理员更新.."},
        {"22", "非常抱歉!API今日查询次数已尽,请您明日再使用!"},
        {"99", "中通快递:衣服查询中..."}}; // not in the table: the request's text stays
    // Nothing kept for the parcel: the failure's own text alone.
    QVERIFY(w.store().resetParcel(1));
    for (const auto &[code, text] : codes) {
        query(QStringLiteral("9000000000") + QLatin1String(code));
        QCOMPARE(w.status(), QString::fromUtf8(text));
        QVERIFY(w.Text1->isEnabled() && w.Image2(3)->isEnabled());
        QVERIFY(!w.AniGIF1->isVisible() && !w.Timer7->isActive());
    }
    QVERIFY(h->platform.box.shown.isEmpty());

    // Unreadable replies end the busy state at once.
    h = std::make_unique<Harness>();
    startWith(*own);
    Form1 &o = h->w();
    for (const char *number : {"700000000003", "700000000004"}) {
        query(QLatin1String(number));
        QCOMPARE(o.status(), QStringLiteral("查询结果无法识别,请稍后再试.."));
        QVERIFY(o.Text1->isEnabled() && o.ListView1->isEnabled() && o.Image2(7)->isEnabled());
        QVERIFY(!o.AniGIF1->isVisible() && !o.Timer7->isActive());
    }
    // Code 0 without events: no display, and the window is unlocked rather
    // than left with a list that nothing would ever enable again.
    query(QStringLiteral("700000000005"));
    QCOMPARE(o.ListView1->topLevelItemCount(), 0);
    QVERIFY(!o.Timer1->isActive());
    QVERIFY(!o.AniGIF1->isVisible() && o.Text1->isEnabled() && o.Image2(3)->isEnabled());
}

void TestQuery::unknownNumberKeepOrDelete()
{
    const QString ask = QStringLiteral("您好,您当前查询的快递单号不存在,是否保留?\r\n\r\n"
                                       "如果此快递单号是您刚添加不久,建议几小时后再来查询");
    const QString confirm = QStringLiteral("二次防误操作：确认要删除此快递单号?");
    startWith(*shipped);
    Form1 &w = h->w();
    auto &box = h->platform.box;
    box.setNextAnswer(MessageBox::AnswerYes); // keep
    w.setListIndex(1);
    box.setNextAnswer(MessageBox::AnswerNo); // no, then no
    w.setListIndex(1);
    QCOMPARE(box.texts(), (QStringList{ask, ask, confirm}));
    QCOMPARE(box.shown[0].buttons, MessageBox::YesNo);
    QCOMPARE(box.shown[0].title, QStringLiteral("Tesmar系列软件"));
    QVERIFY(w.store().parcelById(2));
    QVERIFY(w.Text1->isEnabled() && w.Image2(1)->isEnabled() && !w.Timer7->isActive());
    // Deleted with Check7 off: refilled, nothing else queried.
    box.shown.clear();
    box.setNextAnswer(MessageBox::AnswerNo);
    box.setNextAnswer(MessageBox::AnswerYes);
    const int before = shipped->countRequests(QStringLiteral("/?"));
    w.setListIndex(1);
    QCOMPARE(box.texts(), (QStringList{ask, confirm, QStringLiteral("快递信息已删除!")}));
    QVERIFY(!w.store().parcelById(2));
    QCOMPARE(w.Text1->count(), 2);
    QCOMPARE(shipped->countRequests(QStringLiteral("/?")), before + 1);

    // With Check7 on, the first saved parcel is queried at once.
    w.Check7->setChecked(true);
    QVERIFY(w.store().deleteParcel(3)); // one parcel stays after the deletion
    QVERIFY(w.store().addParcel(QStringLiteral("中通快递"), QStringLiteral("100000000004"),
                                QStringLiteral("鞋"), QStringLiteral("0")));
    w.sX();
    box.setNextAnswer(MessageBox::AnswerNo);
    box.setNextAnswer(MessageBox::AnswerYes);
    w.setListIndex(1);
    QCOMPARE(w.Text1->count(), 1);
    QVERIFY(shipped->requests().last().contains(QStringLiteral("&nu=100000000003&")));
    QTRY_VERIFY(w.ListView1->topLevelItemCount() > 0);
}

void TestQuery::watchdogTellsAndLateReplyStillShows()
{
    startWith(*own);
    Form1 &w = h->w();
    QString statusAtBox;
    bool idleAtBox = false;
    h->platform.box.onShow = [&](const QString &) {
        statusAtBox = w.status();
        idleAtBox = w.Text1->isEnabled() && w.Image2(4)->isEnabled() && !w.AniGIF1->isVisible() &&
                    w.ListView1->topLevelItemCount() == 0;
    };
    // The ticks are scripted while the request waits; the timer itself
    // would not fire before the reply.
    w.Timer7->setInterval(3600 * 1000);
    bool waiting = false, quietAfterNine = false;
    QTimer::singleShot(0, &w, [&] {
        waiting = w.Timer7->isActive() && w.AniGIF1->isVisible();
        for (int tick = 1; tick <= 9; ++tick)
            w.Timer7_Timer();
        quietAfterNine = h->platform.box.shown.isEmpty() && w.Timer7->isActive() && !w.Text1->isEnabled();
        w.Timer7_Timer();
    });
    query(QStringLiteral("700000000001"));
    QVERIFY(waiting);
    QVERIFY(quietAfterNine);
    QCOMPARE(h->platform.box.texts(),
             QStringList{QStringLiteral(
                 "程序自动检测快递异常!\r\n \r\n可能存在以下问题：\r\n1.网络异常\r\n2.快递公司异常\r\n"
                 "4.当前快递单号已失效\r\n5.单号或对应快递公司错误\r\n \r\n请您稍后重试")});
    QCOMPARE(statusAtBox, QStringLiteral("程序初始化完毕.."));
    QVERIFY(idleAtBox);
    // The late reply is still shown.
    QCOMPARE(w.ListView1->topLevelItemCount(), 1);
    QCOMPARE(w.status(), QStringLiteral("查询完毕..."));
}

void TestQuery::slowQueriesInARowStayQuiet()
{
    startWith(*own);
    Form1 &w = h->w();
    query(QStringLiteral("700000000002"));
    QVERIFY(w.watchdogTicks >= 1 && !w.Timer7->isActive());
    // The first watchdog tick of the second query, whenever it comes, counts
    // from zero again (runs after the window's own handler of the tick).
    qint16 ticksDuringSecond = -1;
    const auto first = connect(w.Timer7, &QTimer::timeout, &w, [&] {
        if (ticksDuringSecond < 0)
            ticksDuringSecond = w.watchdogTicks;
    });
    query(QStringLiteral("700000000002"));
    disconnect(first);
    QCOMPARE(ticksDuringSecond, qint16(1));
    QVERIFY(h->platform.box.shown.isEmpty());
}

void TestQuery::displayCases()
{
    struct Case {
        Events events;
        const char *state, *transit;
    };
    const QList<Case> cases = {
        {{{QStringLiteral("2024-03-03 10:30:00"), QStringLiteral("已签收,签收人:前台")},
          {QStringLiteral("2024-03-02 09:00:00"), QStringLiteral("a\\/b")},
          {QStringLiteral("2024-03-01 08:00:00"), QStringLiteral("收件 \\\"前台\\\" 处")}},
         "已签收",
         "2天2小时30分"},
        {{{QStringLiteral("2024-03-02 12:00:00"), QStringLiteral("客户回访")},
          {QStringLiteral("2024-03-02 09:00:00"), QStringLiteral("快件已妥投")},
          {QStringLiteral("2024-03-01 09:00:00"), QStringLiteral("已收件")}},
         "已签收",
         "1天3小时0分"},
        // Out for delivery is timed from the oldest event to now.
        {{{stamp(-60), QStringLiteral("快递员正在派件")},
          {stamp(-(86400 + 7380 + 30)), QStringLiteral("已收件")}},
         "派件中",
         "1天2小时3分"},
        {{{QStringLiteral("2024-03-02 09:00:00"), QStringLiteral("感谢使用")}}, "已签收", "0天0小时0分"},
        {{{stamp(0), QStringLiteral("到达网点")}, {QStringLiteral("昨天下午"), QStringLiteral("已收件")}},
         "运送中",
         "0天0小时0分"},
        {{{stamp(150), QStringLiteral("已发出")}}, "运送中", "0天0小时-2分"},
        // With two events the older one counts for the state too.
        {{{QStringLiteral("2024-03-02 12:00:00"), QStringLiteral("客户回访")},
          {QStringLiteral("2024-03-01 09:00:00"), QStringLiteral("已签收")}},
         "已签收",
         "1天3小时0分"},
    };
    for (int i = 0; i < cases.size(); ++i)
        write(QStringLiteral("71000000000%1.json").arg(i), reply(cases[i].events));
    startWith(*own);
    Form1 &w = h->w();
    QTreeWidget *list = w.ListView1;
    for (int i = 0; i < cases.size(); ++i) {
        query(QStringLiteral("71000000000%1").arg(i));
        QCOMPARE(list->topLevelItemCount(), int(cases[i].events.size()));
        QCOMPARE(w.Label12(2)->text(), QString::fromUtf8(cases[i].state));
        QCOMPARE(w.Label12(5)->text(), QString::fromUtf8(cases[i].transit));
        QCOMPARE(list->currentItem(), list->topLevelItem(list->topLevelItemCount() - 1));
    }
    query(QStringLiteral("710000000000"));
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("3"));
    QCOMPARE(list->topLevelItem(1)->text(2), QStringLiteral("a b"));
    QCOMPARE(list->topLevelItem(2)->text(2), QStringLiteral("收件 \\"));
    for (int c = 0; c < 3; ++c) {
        QCOMPARE(list->topLevelItem(0)->foreground(c).color(), QColor(255, 0, 0));
        QVERIFY(list->topLevelItem(0)->font(c).bold() && !list->topLevelItem(1)->font(c).bold());
    }
    QCOMPARE(w.Label12(7)->text(), QStringLiteral("中通快递"));
    QCOMPARE(w.status(), QStringLiteral("查询完毕..."));
    QCOMPARE(w.shownCount, qint16(3));
    QVERIFY(w.Text1->isEnabled() && w.Image2(2)->isEnabled() && !w.AniGIF1->isVisible());

    // While a loop or timed query runs, only the courier directory unlocks.
    for (Form1::WatchMode mode : {Form1::WatchMode::Loop, Form1::WatchMode::Timed}) {
        w.watchMode = mode;
        query(QStringLiteral("710000000003"));
        w.watchMode = Form1::WatchMode::Idle;
        QVERIFY(!w.Text1->isEnabled() && w.Image2(6)->isEnabled());
        for (int i : {1, 2, 3, 4, 5, 7})
            QVERIFY(!w.Image2(i)->isEnabled());
    }
}

QTEST_MAIN(TestQuery)
#include "test_query.moc"
