// Checks of parcelio-standin itself: the other tests trust its answers, so a
// broken stand-in would make them pass or fail for the wrong reasons.

#include "support/StandIn.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

namespace {

const QString kAccount = QStringLiteral("731845");
const QString kSecret = QStringLiteral("5c1d8e0b7a2f4963d0e8b1c6a4f7e2d9");
const QString kKey = QStringLiteral("B7D40C2E91A3F5680D4C7E1B93A2F065");

QString trackingPath(const QString &number, const QString &account = kAccount,
                     const QString &secret = kSecret, const QString &key = kKey)
{
    return QStringLiteral("/?id=%1&secret=%2&com=shunfeng&nu=%3&id=%4&type=json&ord=desc")
        .arg(account, secret, number, key);
}

struct Fetched {
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray contentType;
    QByteArray date;
    QByteArray body;
    bool finished = false;
};

Fetched fetch(QNetworkAccessManager &nam, const QUrl &url, const QByteArray &verb = "GET",
              int timeoutMs = 10000, const QByteArray &extraHeader = {})
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    if (!extraHeader.isEmpty())
        request.setRawHeader(extraHeader.left(extraHeader.indexOf(':')),
                             extraHeader.mid(extraHeader.indexOf(':') + 1).trimmed());
    QNetworkReply *reply = nam.sendCustomRequest(request, verb);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs + 5000, &loop, &QEventLoop::quit);
    loop.exec();

    Fetched f;
    f.finished = reply->isFinished();
    f.error = reply->error();
    f.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    f.contentType = reply->rawHeader("Content-Type");
    f.date = reply->rawHeader("Date");
    if (reply->isOpen())
        f.body = reply->readAll();
    reply->abort();
    reply->deleteLater();
    return f;
}

QJsonObject jsonOf(const Fetched &f)
{
    return QJsonDocument::fromJson(f.body).object();
}

} // namespace

class TestStandIn : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void trackingReplyIsNewestFirst();
    void everyFixtureNumberGivesItsErrCode_data();
    void everyFixtureNumberGivesItsErrCode();
    void credentialsAreChecked_data();
    void credentialsAreChecked();
    void gbkReplyIsReallyGbk();
    void recognition_data();
    void recognition();

    void everyAnswerCarriesAnEnglishDate_data();
    void everyAnswerCarriesAnEnglishDate();
    void unknownPathIs404Page();
    void pathsCannotLeaveTheFixtures();

    void delayedReplyDoesNotBlockOthers();
    void neverAnsweredStaysSilent();
    void requestsAreLoggedWithHeaders();
    void ownFixturesAndFixedDate();

private:
    StandIn m_standIn;
    QNetworkAccessManager m_nam;
};

void TestStandIn::initTestCase()
{
    QVERIFY2(m_standIn.isRunning(), qPrintable(m_standIn.errorString()));
}

void TestStandIn::trackingReplyIsNewestFirst()
{
    const Fetched f = fetch(m_nam, m_standIn.url(trackingPath(QStringLiteral("100000000001"))));
    QCOMPARE(f.status, 200);
    QCOMPARE(f.contentType, QByteArray("application/json; charset=utf-8"));
    const QJsonObject json = jsonOf(f);
    QCOMPARE(json.value("errCode").toString(), QStringLiteral("0"));
    const QJsonArray events = json.value("data").toArray();
    QVERIFY(events.size() >= 4 && events.size() <= 8);
    QVERIFY(events.first().toObject().value("context").toString().contains(u"已签收"));
    for (qsizetype i = 1; i < events.size(); ++i) {
        QVERIFY2(events[i - 1].toObject().value("time").toString() >
                     events[i].toObject().value("time").toString(),
                 "events must be listed newest first");
    }
}

void TestStandIn::everyFixtureNumberGivesItsErrCode_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("errCode");
    for (const char *n : {"100000000001", "100000000002", "100000000003", "800000000003"})
        QTest::newRow(n) << QString::fromLatin1(n) << QStringLiteral("0");
    QTest::newRow("unknown") << QStringLiteral("100000000004") << QStringLiteral("1");
    QTest::newRow("not a number") << QStringLiteral("../version/gx") << QStringLiteral("1");
    for (int code : {2, 3, 4, 5, 6, 7, 10, 20, 21, 22, 99}) {
        const QString number = QStringLiteral("9%1").arg(code, 11, 10, QLatin1Char('0'));
        QTest::newRow(qPrintable(number)) << number << QString::number(code);
    }
}

void TestStandIn::everyFixtureNumberGivesItsErrCode()
{
    QFETCH(QString, number);
    QFETCH(QString, errCode);
    const QString path = trackingPath(QString::fromLatin1(QUrl::toPercentEncoding(number)));
    const Fetched f = fetch(m_nam, m_standIn.url(path));
    QCOMPARE(f.status, 200);
    const QByteArray utf8 = f.contentType.endsWith("GBK")
                                ? QStringDecoder("GBK").decode(f.body).operator QString().toUtf8()
                                : f.body;
    QCOMPARE(QJsonDocument::fromJson(utf8).object().value("errCode").toString(), errCode);
}

void TestStandIn::credentialsAreChecked_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("errCode");
    const QString nu = QStringLiteral("100000000001");
    QTest::newRow("all correct") << trackingPath(nu) << QStringLiteral("0");
    QTest::newRow("wrong key") << trackingPath(nu, kAccount, kSecret, "0000") << QStringLiteral("20");
    QTest::newRow("wrong secret") << trackingPath(nu, kAccount, "x", kKey) << QStringLiteral("20");
    QTest::newRow("account and key swapped")
        << trackingPath(nu, kKey, kSecret, kAccount) << QStringLiteral("20");
    QTest::newRow("key missing") << QStringLiteral("/?id=%1&secret=%2&nu=%3").arg(kAccount, kSecret, nu)
                                 << QStringLiteral("20");
    QTest::newRow("no query") << QStringLiteral("/") << QStringLiteral("20");
}

void TestStandIn::credentialsAreChecked()
{
    QFETCH(QString, path);
    QFETCH(QString, errCode);
    const Fetched f = fetch(m_nam, m_standIn.url(path));
    QCOMPARE(f.status, 200);
    QCOMPARE(jsonOf(f).value("errCode").toString(), errCode);
}

void TestStandIn::gbkReplyIsReallyGbk()
{
    const Fetched f = fetch(m_nam, m_standIn.url(trackingPath(QStringLiteral("800000000003"))));
    QCOMPARE(f.contentType, QByteArray("application/json; charset=GBK"));

    QStringDecoder utf8(QStringConverter::Utf8);
    const QString asUtf8 = utf8.decode(f.body);
    QVERIFY2(utf8.hasError(), "a GBK body with Chinese text is not valid UTF-8");

    const QString text = QStringDecoder("GBK").decode(f.body);
    const QJsonArray events = QJsonDocument::fromJson(text.toUtf8()).object().value("data").toArray();
    QCOMPARE(events.size(), 2);
    QCOMPARE(events.first().toObject().value("context").toString(),
             QStringLiteral("[西安市]快件到达 【西安未央集散中心】"));
}

void TestStandIn::recognition_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("longest prefix wins")
        << QStringLiteral("100000000001")
        << QByteArray(R"([{"comCode":"shunfeng","id":"","noCount":1,"noPre":"1000000000","startTime":""}])");
    QTest::newRow("short prefix")
        << QStringLiteral("1099")
        << QByteArray(R"([{"comCode":"ems","id":"","noCount":1,"noPre":"10","startTime":""}])");
    QTest::newRow("no prefix") << QStringLiteral("123") << QByteArray("[]");
    QTest::newRow("raw 503 page") << QStringLiteral("5030000000001")
                                  << QByteArray("<html>503 Service Temporarily Unavailable</html>");
    QTest::newRow("raw without comCode")
        << QStringLiteral("4040000000001") << QByteArray(R"({"message":"no data"})");
}

void TestStandIn::recognition()
{
    QFETCH(QString, number);
    QFETCH(QByteArray, body);
    const Fetched f = fetch(m_nam, m_standIn.url(QStringLiteral("/autonumber/auto?num=") + number));
    QCOMPARE(f.status, 200);
    QCOMPARE(f.contentType, QByteArray("text/html;charset=UTF-8"));
    QCOMPARE(f.body, body);
}

void TestStandIn::everyAnswerCarriesAnEnglishDate_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("verb");
    QTest::newRow("tracking") << trackingPath(QStringLiteral("100000000002")) << QByteArray("GET");
    QTest::newRow("rejected") << QStringLiteral("/?nu=1") << QByteArray("GET");
    QTest::newRow("404") << QStringLiteral("/no/such/file") << QByteArray("GET");
    QTest::newRow("HEAD anywhere") << QStringLiteral("/no/such/file") << QByteArray("HEAD");
    QTest::newRow("HEAD on a silent number")
        << trackingPath(QStringLiteral("800000000002")) << QByteArray("HEAD");
}

void TestStandIn::everyAnswerCarriesAnEnglishDate()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, verb);
    const Fetched f = fetch(m_nam, m_standIn.url(path), verb);
    if (verb == "HEAD") {
        QCOMPARE(f.status, 200);
        QVERIFY(f.body.isEmpty());
    }
    static const QRegularExpression form(QStringLiteral(
        R"(^(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4} \d\d:\d\d:\d\d GMT$)"));
    QVERIFY2(form.match(QString::fromLatin1(f.date)).hasMatch(), f.date.constData());
    QDateTime date = QLocale::c().toDateTime(QString::fromLatin1(f.date),
                                             QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"));
    QVERIFY2(date.isValid(), "the weekday must fit the date");
    date.setTimeZone(QTimeZone::utc());
    QVERIFY(qAbs(date.secsTo(QDateTime::currentDateTimeUtc())) < 120);
}

void TestStandIn::unknownPathIs404Page()
{
    const Fetched f = fetch(m_nam, m_standIn.url(QStringLiteral("/no/such/file.html")));
    QCOMPARE(f.status, 404);
    QCOMPARE(f.body, QByteArray("<html><body><h1>404 Not Found</h1></body></html>"));

    const Fetched version = fetch(m_nam, m_standIn.url(QStringLiteral("/version/gx.txt")));
    QCOMPARE(version.body, QByteArray("V5.4"));
    // Route patterns are regular expressions: a dot must not match any character.
    QCOMPARE(fetch(m_nam, m_standIn.url(QStringLiteral("/version/gxXtxt"))).status, 404);
}

void TestStandIn::pathsCannotLeaveTheFixtures()
{
    // A raw socket, because every HTTP client tidies ".." away before sending.
    for (const QByteArray &path :
         {QByteArray("/../tracking/100000000001.json"), QByteArray("/%2e%2e/version/gx.txt")}) {
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.1"), m_standIn.port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write("GET " + path + " HTTP/1.1\r\nHost: " + m_standIn.host().toLatin1() +
                     "\r\nConnection: close\r\n\r\n");
        QByteArray answer;
        // Every error page ends in </html>; the server may keep the connection open.
        while (!answer.contains("</html>") && socket.waitForReadyRead(5000))
            answer += socket.readAll();
        QVERIFY2(answer.startsWith("HTTP/1.1 403") || answer.startsWith("HTTP/1.1 404"),
                 answer.left(40).constData());
        QVERIFY(!answer.contains("errCode") && !answer.contains("V5.4"));
    }
}

void TestStandIn::delayedReplyDoesNotBlockOthers()
{
    QElapsedTimer clock;
    clock.start();
    QNetworkReply *slow =
        m_nam.get(QNetworkRequest(m_standIn.url(trackingPath(QStringLiteral("800000000001")))));
    const Fetched quick = fetch(m_nam, m_standIn.url(QStringLiteral("/probe")));
    QCOMPARE(quick.status, 200);
    QVERIFY2(!slow->isFinished(), "the quick answer must not wait for the slow one");

    QTRY_VERIFY_WITH_TIMEOUT(slow->isFinished(), 10000);
    QVERIFY(clock.elapsed() >= 2900);
    QCOMPARE(QJsonDocument::fromJson(slow->readAll()).object().value("errCode").toString(),
             QStringLiteral("0"));
    delete slow;
}

void TestStandIn::neverAnsweredStaysSilent()
{
    const Fetched f = fetch(m_nam, m_standIn.url(trackingPath(QStringLiteral("800000000002"))), "GET", 500);
    QVERIFY(f.finished);
    QVERIFY(f.error != QNetworkReply::NoError);
    QCOMPARE(f.status, 0);
    // The stand-in is still fine after the client gave up.
    QCOMPARE(fetch(m_nam, m_standIn.url(QStringLiteral("/probe"))).status, 200);
}

void TestStandIn::requestsAreLoggedWithHeaders()
{
    const int before = m_standIn.countRequests(QStringLiteral("/probe?"));
    fetch(m_nam, m_standIn.url(QStringLiteral("/probe?x=1")), "GET", 10000, "X-Parcelio-Check: 42");
    QCOMPARE(m_standIn.countRequests(QStringLiteral("/probe?")), before + 1);

    const QStringList fields = m_standIn.requests().last().split(QLatin1Char('\t'));
    QCOMPARE(fields.value(0), QStringLiteral("GET"));
    QCOMPARE(fields.value(1), QStringLiteral("/probe?x=1"));
    QVERIFY2(fields.mid(2).contains(QStringLiteral("X-Parcelio-Check: 42"), Qt::CaseInsensitive),
             qPrintable(fields.join(QLatin1Char('|'))));
}

void TestStandIn::ownFixturesAndFixedDate()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("tracking")));
    auto put = [&](const QString &name, const QByteArray &content) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    put(QStringLiteral("tracking/555.json"), R"({"errCode":"0","message":"","data":[]})");
    put(QStringLiteral("tracking/555.status"), "503\n");

    const QByteArray fixed("Tue, 08 Dec 2026 05:50:38 GMT");
    StandIn own(dir.path(), {QStringLiteral("--date"), QString::fromLatin1(fixed)});
    QVERIFY2(own.isRunning(), qPrintable(own.errorString()));

    const Fetched f = fetch(m_nam, own.url(trackingPath(QStringLiteral("555"))));
    QCOMPARE(f.status, 503);
    QCOMPARE(jsonOf(f).value("errCode").toString(), QStringLiteral("0"));
    QCOMPARE(f.date, fixed);
    // The own directory replaces the built-in one.
    QCOMPARE(jsonOf(fetch(m_nam, own.url(trackingPath(QStringLiteral("100000000001")))))
                 .value("errCode")
                 .toString(),
             QStringLiteral("1"));
}

QTEST_GUILESS_MAIN(TestStandIn)
#include "test_standin.moc"
