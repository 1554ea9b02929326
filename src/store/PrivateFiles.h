#pragma once
// The user's own files (the book, its lock, the settings with the mail
// password) are made readable by the user alone, whatever the umask.
#include <QByteArray>
#include <QString>

// Makes path and every missing folder above it, each 0700. Folders that are
// there already are left as they are. False, with errno set, on failure.
bool makePrivateDir(const QString &path);
// Creates path 0600 holding content, unless something is there already
// (left untouched, and no link is followed). True when the file is there
// afterwards, made now or before.
bool createPrivateFile(const QString &path, const QByteArray &content = {});
