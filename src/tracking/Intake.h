#pragma once
// Tracking numbers found in pasted text: an order page, a message, a chat.
#include "store/Records.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class Store;
class TrackingService;
struct ServiceAnswer;
struct ServiceRequest;

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

// The courier a number's letters name without asking anyone (SF… 顺丰,
// YT… 圆通, JT… 极兔, JD… 京东); none for digits alone, other letters, or a
// directory without that courier.
std::optional<CourierRecord> courierByPrefix(Store &store, const QString &number);

// A paste of more numbers than this says what it will spend, and goes on
// only when confirmed.
constexpr qsizetype PasteWithoutAsking = 20;
// The requests adding these numbers may spend: a recognition for each the
// local rules cannot place (none when the courier is given), and each
// number's query (with its registration where the service registers).
qsizetype pasteRequests(Store &store, const QList<PastedNumber> &numbers, const TrackingService &service,
                        bool courierGiven);

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

// Sends one request of the tracking service and waits for it, as the caller
// waits for its requests.
using ServiceExchange = std::function<ServiceAnswer(const ServiceRequest &)>;

// The courier of a pasted number: the recognition service's reply read
// (nothing: it gave none), and where that names no courier, the chosen
// tracking service's own recognition, where it has one, mapped back to the
// directory through the courier table. When neither names one, the
// recognition service's outcome; Unreadable when it gave no reply.
RecognisedCourier courierOfPasted(Store &store, const std::optional<QString> &recognitionReply,
                                  const TrackingService &service, const QString &number,
                                  const ServiceExchange &exchange);
