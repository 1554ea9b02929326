#pragma once
// Reading the maker's and the time server's answers, without a window.
#include "tracking/HttpReply.h"

#include <QDateTime>
#include <QElapsedTimer>

// The text of a reply that really answered: a success that is no HTML page
// (an error page or a network's login page is not what was asked for).
QString answerText(const HttpReply &reply);
// An HTTP Date header as China Standard Time wall-clock (UTC+8), whatever
// the computer's own time zone; invalid when the header does not parse.
QDateTime chinaTimeOf(const QByteArray &dateHeader);

// One reading of a time server: its Date as China Standard Time, and a
// timer started when the answer arrived. Invalid when no answer came or the
// header is missing or does not parse.
struct ServerTime {
    QDateTime at;
    QElapsedTimer sinceArrival;
    bool isValid() const { return at.isValid(); }
    // The server's time now, not when it answered: a timer, a click or a
    // message box may have run for minutes since then.
    QDateTime now() const { return at.addMSecs(sinceArrival.elapsed()); }
};
