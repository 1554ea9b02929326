#pragma once
#include <QString>

// Where the program finds its own files and keeps the user's.
//
// A build folder or a portable copy keeps everything beside the program, as
// it always has. An installed program (its skin under ../share/parcelio and
// not beside it) or one whose folder cannot be written keeps the database
// under $XDG_DATA_HOME/parcelio and its settings under
// $XDG_CONFIG_HOME/parcelio instead.
struct Locations {
    QString resourceDir; // skinh.she, ts.mp3
    QString dataDir;     // db/kd100.mdb lives below it
    QString iniPath;     // parcelio.ini
    bool portable = true;
};

Locations findLocations(const QString &programDir);

// The folder of the program the user started: the one the front door
// (src/main.cpp) names in PARCELIO_PROGRAM_DIR when it hands over to the
// window or the commands, else the running executable's own.
QString programDir();
