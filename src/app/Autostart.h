#pragma once
// Starting with the desktop: an XDG autostart entry that starts the program
// hidden in the tray (parcelio --hidden). The entry itself is the setting;
// nothing else records whether it is on.
#include <QString>

// The application's id on the desktop: the desktop entry, the metainfo and
// the bus name of a running window share it.
inline constexpr const char *AppId = "cn.tesmar.parcelio";

// $XDG_CONFIG_HOME/autostart/cn.tesmar.parcelio.desktop
QString autostartPath();
bool autostartOn();
// Writes the entry that starts program (a full path) with --hidden; false
// when it could not be written.
bool writeAutostart(const QString &program);
// False when an entry is there and could not be removed.
bool removeAutostart();
