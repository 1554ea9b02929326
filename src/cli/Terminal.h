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
void out(const QString &text);
void outUtf8(const QByteArray &bytes);
// Tells the failure on stderr and gives its status.
int fail(const Failed &f);
void printJson(const QJsonValue &v);
QString textArgument(const QStringList &args);
} // namespace cli
