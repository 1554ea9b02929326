#pragma once
// Each service's settings: its own ini group, named after the service,
// whose keys the service declares and reads itself. The settings file and
// its first-start template learn them from the services' table.
#include <QList>
#include <QString>

struct Config;

struct ServiceSetting {
    const char *key;
    const char *defaultValue;
    // A key or token: read whole from its line, and kept from other users.
    bool secret = false;
};

struct ServiceSettingsGroup {
    QString service;
    QList<ServiceSetting> settings;
};

// Every service of the table with its settings, in the table's order.
QList<ServiceSettingsGroup> serviceSettingGroups();

// The service's setting as the settings file has it, else its default.
QString serviceSetting(const Config &cfg, const QString &service, const ServiceSetting &setting);
