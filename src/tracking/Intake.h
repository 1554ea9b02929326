#pragma once
// Tracking numbers found in pasted text: an order page, a message, a chat.
#include <QList>
#include <QString>

struct PastedNumber {
    QString number; // upper case
    QString goods;  // the words beside it on its line, else the number's tail
};

// Digit runs of 10 to 20 and letter-digit forms (SF1234567890123, YT…), each
// once, in text order. Mobile phone numbers are left out.
QList<PastedNumber> pastedNumbers(const QString &text);
