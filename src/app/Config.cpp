#include "app/Config.h"
#include "app/Tr.h"
#include "tracking/ServiceSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <sys/stat.h>

namespace {
// The settings that are secrets: read whole, and kept from other users.
struct SecretKey {
    const char *group, *key;
    QString Config::*field;
};
const SecretKey Secrets[] = {
    {"tracking", "secret", &Config::secret},       {"tracking", "key", &Config::key},
    {"mail", "password", &Config::mailPassword},
};
} // namespace

std::optional<QString> iniSecret(const QString &iniPath, const QString &group, const QString &key)
{
    QFile f(iniPath);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<QString> found;
    QString current;
    // As QSettings does, the last of several lines wins.
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        // As QSettings reads a header: up to the first ']', so that a
        // comment may follow it ("[kdniao]   ; the signed query").
        if (line.startsWith(QLatin1Char('[')) && line.indexOf(QLatin1Char(']')) > 0) {
            current = line.mid(1, line.indexOf(QLatin1Char(']')) - 1).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (current != group || eq < 0 || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.left(eq).trimmed() == key)
            found = line.mid(eq + 1).trimmed();
    }
    return found;
}

Config Config::load(const QString &iniPath)
{
    Config c;
    if (!QFileInfo::exists(iniPath))
        return c;
    QSettings ini(iniPath, QSettings::IniFormat);
    auto take = [&ini](const char *key, QString &into) {
        const QString k = QString::fromLatin1(key);
        if (ini.contains(k))
            into = ini.value(k).toString();
    };
    take("tracking/host", c.trackingHost);
    take("tracking/account", c.account);
    take("recognition/host", c.recognitionHost);
    take("maker/host", c.makerHost);
    take("maker/site", c.site);
    take("maker/web", c.web);
    take("maker/home", c.home);
    take("mail/relay", c.mailRelay);
    take("mail/user", c.mailUser);
    take("mail/tls", c.mailTls);
    take("clock/probe", c.clockProbe);
    take("clock/timeserver", c.timeServer);
    take("tracking/service", c.service);
    c.service = c.service.trimmed().toLower();
    take("desktop/language", c.language);
    bool secretSet = false;
    for (const SecretKey &s : Secrets) {
        if (auto value = iniSecret(iniPath, QString::fromLatin1(s.group), QString::fromLatin1(s.key))) {
            c.*s.field = *value;
            secretSet = true;
        }
    }
    // Each service's group, its keys as the service declares them.
    for (const ServiceSettingsGroup &g : serviceSettingGroups()) {
        for (const ServiceSetting &s : g.settings) {
            const QString key = QString::fromLatin1(s.key);
            std::optional<QString> value;
            if (s.secret)
                value = iniSecret(iniPath, g.service, key);
            else if (ini.contains(g.service + QLatin1Char('/') + key))
                value = ini.value(g.service + QLatin1Char('/') + key).toString();
            if (!value)
                continue;
            c.serviceSettings.insert(g.service + QLatin1Char('/') + key, *value);
            secretSet = secretSet || s.secret;
        }
    }
    struct stat st {};
    if (secretSet && ::stat(QFile::encodeName(iniPath).constData(), &st) == 0 && (st.st_mode & 077) != 0)
        c.iniWarning = Parcelio::tr("警告: %1 含有密钥或密码,其他用户也能读取 (chmod 600 可改正)").arg(iniPath);
    const QString tray = ini.value(QStringLiteral("desktop/tray")).toString().trimmed().toLower();
    c.trayForced = tray == QLatin1String("on") || tray == QLatin1String("true") || tray == QLatin1String("1") ||
                   tray == QLatin1String("yes");
    bool ok = false;
    const int interval = ini.value(QStringLiteral("watch/min_interval_minutes")).toInt(&ok);
    if (ok && interval >= 0)
        c.minIntervalMinutes = interval;
    const int pause = ini.value(QStringLiteral("watch/pause_ms")).toInt(&ok);
    if (ok && pause >= 0)
        c.watchPauseMs = pause;
    const int pickup = ini.value(QStringLiteral("watch/pickup_remind_days")).toInt(&ok);
    if (ok && pickup >= 0)
        c.pickupRemindDays = pickup;
    const int quiet = ini.value(QStringLiteral("watch/quiet_days")).toInt(&ok);
    if (ok && quiet >= 0)
        c.quietDays = quiet;
    return c;
}

QByteArray Config::iniTemplate()
{
    const Config d;
    // The services' groups, from their table; secrets without a default.
    QString services;
    for (const ServiceSettingsGroup &g : serviceSettingGroups()) {
        services += QLatin1Char('[') + g.service + QStringLiteral("]\n");
        for (const ServiceSetting &s : g.settings)
            services += QStringLiteral(";%1=%2\n").arg(QString::fromLatin1(s.key),
                                                      s.secret ? QString() : QString::fromUtf8(s.defaultValue));
    }
    const QString text =
        QStringLiteral(
            "; Parcelio settings. Every key is optional: remove the \";\" before one to set it;\n"
            "; what is shown is its default. Keys, tokens and passwords are read as they\n"
            "; stand, to the end of the line; empty ones here are the built-in ones.\n"
            "[tracking]\n"
            ";service=%1\n"
            ";host=%2\n"
            ";account=%3\n"
            ";secret=\n"
            ";key=\n"
            "%4"
            "[recognition]\n"
            ";host=%5\n"
            "[maker]\n"
            ";host=%6\n"
            ";site=%7\n"
            ";web=%8\n"
            ";home=%9\n"
            "[mail]\n"
            ";relay=%10\n"
            ";user=%11\n"
            ";password=\n"
            "; tls: required, try or off; unset, required when a password is set\n"
            ";tls=\n"
            "[clock]\n"
            ";probe=%12\n"
            ";timeserver=%13\n"
            "[watch]\n"
            ";pause_ms=%14\n"
            ";min_interval_minutes=%15\n"
            ";pickup_remind_days=%16\n"
            ";quiet_days=%17\n"
            "[desktop]\n"
            "; tray: on shows the tray icon whatever the settings panel says\n"
            ";tray=off\n"
            "; language: zh, en or auto (follow the locale)\n"
            ";language=%18\n")
            .arg(d.service, d.trackingHost, d.account, services, d.recognitionHost, d.makerHost, d.site)
            .arg(d.web, d.home, d.mailRelay, d.mailUser, d.clockProbe, d.timeServer)
            .arg(d.watchPauseMs)
            .arg(d.minIntervalMinutes)
            .arg(d.pickupRemindDays)
            .arg(d.quietDays)
            .arg(d.language);
    return text.toUtf8();
}
