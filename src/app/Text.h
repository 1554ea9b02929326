#pragma once
// Text rules of the window that need no window: the status-bar clock and
// the filter of the number boxes.
#include <QDateTime>
#include <QString>

QString clockText(const QDateTime &now);
bool isNumeric(const QString &text);
