#pragma once
// How the settings row's texts are read and checked, without a window.
#include "store/Records.h"

#include <QString>
#include <span>

// The setting table's eight columns, each with the field of SettingsRecord
// it fills. The settings panel pairs its switches with these by key.
enum class SettingKey { Mail, Voice, Drag, CloseOnClick, Balloon, DefaultQuery, AutoRecognise, Address };
struct SettingColumn {
    SettingKey key;
    const char *column; // UTF-8, as the table names it
    QString SettingsRecord::*field;
};
std::span<const SettingColumn> settingColumnTable();
const SettingColumn &settingColumn(SettingKey key);

bool switchIsOn(const QString &stored);
// The address check of the settings panel: empty, no "@", more than one
// plain address (see isOneAddress), or no known piece.
enum class AddressCheck { Ok, Empty, NoAt, NotOneAddress, NoKnownPiece };
AddressCheck checkAddress(const QString &address);
// False when the text holds a blank, "<", ">", ",", ";" or a control
// character: the relay would read it as several addresses or as options
// of its RCPT command.
bool isOneAddress(const QString &address);
