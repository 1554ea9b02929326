#include "app/Config.h"
#include <QFileInfo>
#include <QSettings>

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
    take("tracking/secret", c.secret);
    take("tracking/key", c.key);
    take("recognition/host", c.recognitionHost);
    take("maker/host", c.makerHost);
    take("maker/site", c.site);
    take("maker/web", c.web);
    take("maker/home", c.home);
    take("mail/relay", c.mailRelay);
    take("mail/user", c.mailUser);
    take("mail/password", c.mailPassword);
    take("mail/tls", c.mailTls);
    take("clock/probe", c.clockProbe);
    take("clock/timeserver", c.timeServer);
    take("tracking/service", c.service);
    take("kdniao/url", c.kdniaoUrl);
    take("kdniao/business_id", c.kdniaoBusinessId);
    take("kdniao/api_key", c.kdniaoApiKey);
    take("kdniao/request_type", c.kdniaoRequestType);
    take("17track/url", c.track17Url);
    take("17track/token", c.track17Token);
    c.service = c.service.trimmed().toLower();
    take("desktop/language", c.language);
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
