#pragma once
// Tracking numbers found in pasted text: an order page, a message, a chat.
#include "store/Records.h"

#include <QList>
#include <QString>

class Store;

struct PastedNumber {
    QString number; // upper case
    QString goods;  // the words beside it on its line, else the number's tail
};

// Digit runs of 10 to 20 and letter-digit forms (SF1234567890123, YT…), each
// once, in text order. Mobile phone numbers are left out.
QList<PastedNumber> pastedNumbers(const QString &text);

// The whole text is one letter-digit number as pastedNumbers finds it
// (SF1234567890123), written as it finds it: letters upper case.
bool isLetterDigitNumber(const QString &text);

// The courier a recognition reply names, read as the add panel and the
// commands read it.
struct RecognisedCourier {
    enum Outcome {
        Named,          // courier is the directory's row
        Busy,           // "503" anywhere in the reply
        Unreadable,     // no company code in it
        NotInDirectory, // a code no directory row has
        DatabaseFailed,
    };
    Outcome outcome = Unreadable;
    CourierRecord courier;
};
RecognisedCourier courierOfRecognition(Store &store, const QString &reply);
