#pragma once
// The text of an export, without a window.
#include <QByteArray>
#include <QString>
#include <QStringList>

// Export: text is written in GB18030 (GBK for every GBK character, and
// nothing outside it is lost); widths count its bytes.
QByteArray exportBytes(const QString &text);
// Blanks cut from both ends; a shorter non-empty text is filled with blanks
// up to width bytes. Longer texts are never cut.
QString SetStringFixedLength(const QString &text, int width);
// One exported line: the cells joined by three blanks (the first one fixed
// to 8 bytes), ending in CR LF. Line breaks inside a cell become blanks and
// other control characters but the tab are left out, so one row stays one line.
QString exportLine(const QStringList &cells);
