// Window-free helpers of the shell, the settings and the export: this
// program links the logic library only.
#include "app/Config.h"
#include "app/Language.h"
#include "app/Text.h"
#include "book/ExportText.h"
#include "store/SettingValues.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestHelpers : public QObject {
    Q_OBJECT
private slots:
    void clockText();
    void numericFilter();
    void addressCheckRules();
    void exportCellWidths();
    void languageChoice();
    void iniSecretsReadWhole();
};

void TestHelpers::clockText()
{
    QCOMPARE(::clockText(QDateTime(QDate(2014, 3, 5), QTime(9, 7, 3))), QString("2014-3-5 9:7:3"));
    QCOMPARE(::clockText(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 0))), QString("2026-12-31 23:59:0"));
    QCOMPARE(::clockText(QDateTime(QDate(2026, 1, 1), QTime(0, 0, 10))), QString("2026-1-1 0:0:10"));
}

void TestHelpers::numericFilter()
{
    QVERIFY(isNumeric("12"));
    QVERIFY(isNumeric(" -1.5e3 "));
    QVERIFY(isNumeric(".5"));
    QVERIFY(isNumeric("2E-4"));
    QVERIFY(!isNumeric(""));
    QVERIFY(!isNumeric("12a"));
    QVERIFY(!isNumeric("1 2"));
    QVERIFY(!isNumeric("-"));
}

void TestHelpers::addressCheckRules()
{
    QCOMPARE(checkAddress(""), AddressCheck::Empty);
    QCOMPARE(checkAddress("someone.example.com"), AddressCheck::NoAt);
    QCOMPARE(checkAddress("a@b"), AddressCheck::NoKnownPiece);
    // Each known piece alone makes an address acceptable.
    for (const char *piece : {"net", "me", "hk", "info", "org", "cn", "com"})
        QVERIFY2(checkAddress(QStringLiteral("a@b.") + QLatin1String(piece)) == AddressCheck::Ok, piece);
    QCOMPARE(checkAddress("ME@HOST.COM"), AddressCheck::NoKnownPiece);
    QCOMPARE(checkAddress("a@b.me"), AddressCheck::Ok);
    QCOMPARE(checkAddress("a@b.cn"), AddressCheck::Ok);
    QCOMPARE(checkAddress("info@x"), AddressCheck::Ok); // a piece in the name part
    QCOMPARE(checkAddress("a@b.hk"), AddressCheck::Ok);
}

void TestHelpers::exportCellWidths()
{
    // Widths count GBK bytes; long cells are never cut, blanks-only is empty.
    QCOMPARE(SetStringFixedLength(QStringLiteral(" 中文 "), 8), QStringLiteral("中文    "));
    QCOMPARE(SetStringFixedLength(QStringLiteral("1234567890"), 8), QStringLiteral("1234567890"));
    QCOMPARE(SetStringFixedLength(QStringLiteral("   "), 8), QString());
}

void TestHelpers::languageChoice()
{
    // LC_ALL over LC_MESSAGES over LANG, as the C library reads them.
    auto with = [](QByteArray all, QByteArray messages, QByteArray lang) {
        return [=](const char *name) {
            const QByteArray n(name);
            return n == "LC_ALL" ? all : n == "LC_MESSAGES" ? messages : n == "LANG" ? lang : QByteArray();
        };
    };
    const QString automatic = QStringLiteral("auto");
    QCOMPARE(chooseLanguage(automatic, with("", "", "")), Language::Chinese);
    QCOMPARE(chooseLanguage(automatic, with("", "", "C")), Language::Chinese);
    QCOMPARE(chooseLanguage(automatic, with("", "", "C.UTF-8")), Language::Chinese);
    QCOMPARE(chooseLanguage(automatic, with("", "", "POSIX")), Language::Chinese);
    QCOMPARE(chooseLanguage(automatic, with("", "", "zh_TW.UTF-8")), Language::Chinese);
    QCOMPARE(chooseLanguage(automatic, with("", "", "en_US.UTF-8")), Language::English);
    QCOMPARE(chooseLanguage(automatic, with("", "", "de_DE.UTF-8")), Language::English);
    QCOMPARE(chooseLanguage(automatic, with("", "en_GB.UTF-8", "zh_CN.UTF-8")), Language::English);
    QCOMPARE(chooseLanguage(automatic, with("zh_CN.UTF-8", "en_GB.UTF-8", "en_GB.UTF-8")), Language::Chinese);
    QCOMPARE(chooseLanguage(automatic, with("C", "", "en_US.UTF-8")), Language::Chinese);
    // The ini's choice wins over the locale; anything else follows it.
    QCOMPARE(chooseLanguage(QStringLiteral("zh"), with("", "", "en_US.UTF-8")), Language::Chinese);
    QCOMPARE(chooseLanguage(QStringLiteral(" EN "), with("", "", "zh_CN.UTF-8")), Language::English);
    QCOMPARE(chooseLanguage(QStringLiteral("fr"), with("", "", "zh_CN.UTF-8")), Language::Chinese);
}

// Keys, tokens and passwords are read as they stand; an ini that others may
// read is still used, with a warning.
void TestHelpers::iniSecretsReadWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("parcelio.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[tracking]\nhost=h.example.com ; a comment\nkey = \"Ab,12;x \n"
            "[mail]\npassword=p;w,1\"\n[17track]\ntoken=t,1\n;token=commented\n[kdniao]\napi_key=\"q\"\n");
    f.close();
    QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    Config c = Config::load(path);
    QCOMPARE(c.key, QStringLiteral("\"Ab,12;x"));
    QCOMPARE(c.mailPassword, QStringLiteral("p;w,1\""));
    QCOMPARE(c.serviceSettings.value("17track/token"), QStringLiteral("t,1"));
    QCOMPARE(c.serviceSettings.value("kdniao/api_key"), QStringLiteral("\"q\""));
    QCOMPARE(c.trackingHost, QStringLiteral("h.example.com"));
    QCOMPARE(c.secret, Config().secret); // not set: the default
    QCOMPARE(c.iniWarning, QString());
    QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    c = Config::load(path);
    QCOMPARE(c.key, QStringLiteral("\"Ab,12;x"));
    QVERIFY2(c.iniWarning.contains(path) && !c.iniWarning.contains(QLatin1Char('\n')), qPrintable(c.iniWarning));

    // The groups as QSettings reads them: a file saved with a byte-order
    // mark and CRLF, a comment after a header (as the README writes them),
    // blanks inside the brackets.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("\xef\xbb\xbf[tracking]\r\nsecret=s;1\r\n[kdniao]          ; the signed query\r\napi_key=k,2\r\n"
            "[ 17track ]\ntoken=t=3\n");
    f.close();
    c = Config::load(path);
    QCOMPARE(c.secret, QStringLiteral("s;1"));
    QCOMPARE(c.serviceSettings.value("kdniao/api_key"), QStringLiteral("k,2"));
    QCOMPARE(c.serviceSettings.value("17track/token"), QStringLiteral("t=3"));
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "test_helpers.moc"
