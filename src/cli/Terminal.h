#pragma once
// What the commands write to the terminal and read from it.
#include <QString>
#include <QStringList>

class QJsonValue;

namespace cli {
// A failure: one line on stderr and the status that goes with it.
struct Failed {
    int status;
    QString why;
};

// Text made fit for one field of a terminal line.
QString plain(QString text);
// On stdout, as UTF-8.
void out(const QString &text);
void outUtf8(const QByteArray &bytes);
// Tells the failure on stderr and gives its status.
int fail(const Failed &f);
// One compact JSON document and a line break.
void printJson(const QJsonValue &v);
// A command's text: its words, or standard input for "-".
QString textArgument(const QStringList &args);
} // namespace cli
