#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

// Service hosts, keys and the maker's addresses. Compiled-in defaults that a
// parcelio.ini beside the executable may override.
struct Config {
    QString trackingHost = QStringLiteral("api.kuaidi.tesmar.cn");
    QString account = QStringLiteral("731845");
    QString secret = QStringLiteral("5c1d8e0b7a2f4963d0e8b1c6a4f7e2d9");
    QString key = QStringLiteral("B7D40C2E91A3F5680D4C7E1B93A2F065");
    QString recognitionHost = QStringLiteral("www.kuaidi.tesmar.cn");
    QString makerHost = QStringLiteral("www.tesmar.cn");
    QString site = QStringLiteral("http://www.tesmar.cn/parcelio/");
    QString web = QStringLiteral("http://web.tesmar.cn/parcelio/");
    QString home = QStringLiteral("http://www.tesmar.cn/");
    QString mailRelay = QStringLiteral("smtp.tesmar.cn:25");
    QString mailUser = QStringLiteral("notice@tesmar.cn");
    QString mailPassword = QStringLiteral("mk481207");
    // STARTTLS with the relay: "try" (when offered), "required" (no login
    // and no mail without it) or "off". Unset, mailTlsFor decides.
    QString mailTls;
    QString clockProbe = QStringLiteral("http://www.qq.com/");
    QString timeServer = QStringLiteral("http://www.baidu.com/");
    // The book watch's pause between two requests.
    int watchPauseMs = 2000;
    // A number answered less than this long ago is not asked again by a
    // round of a service that locks numbers asked too often.
    int minIntervalMinutes = 30;
    // After a round: a parcel waiting at a station longer than this many
    // days is told of once a day, a parcel under way without a new event
    // for this many days once. 0 turns the reminder off.
    int pickupRemindDays = 2;
    int quietDays = 5;

    // The tracking service: classic (above) or one of the services' table.
    QString service = QStringLiteral("classic");
    // The services' own groups as the file sets them ("kdniao/url" to its
    // value); each service reads its keys and knows their defaults.
    QHash<QString, QString> serviceSettings;
    // [desktop] tray=on: the tray icon whatever the settings panel says.
    bool trayForced = false;
    // [desktop] language=zh|en|auto; auto follows the locale.
    QString language = QStringLiteral("auto");

    // Set by load: the one-line warning that the file holds a key, token or
    // password and others may read it (it is used all the same).
    QString iniWarning;

    static Config load(const QString &iniPath);
    // What a first start writes: every key a user can set, commented out
    // with its default. The one list to extend with a new key.
    static QByteArray iniTemplate();
};

// A key, token or password as it stands on its line of the ini file, from
// after "=" to the end of the line, blanks around it aside: QSettings would
// read "a,b" as a list, stop at ";" and take a leading '"' as quoting.
// Nothing when the group has no such key.
std::optional<QString> iniSecret(const QString &iniPath, const QString &group, const QString &key);
