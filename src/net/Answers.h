#pragma once
// Reading the maker's and the time server's answers, without a window.
#include "tracking/HttpReply.h"

#include <QDateTime>

// The text of a reply that really answered: a success that is no HTML page
// (an error page or a network's login page is not what was asked for).
QString answerText(const HttpReply &reply);
// An HTTP Date header as China Standard Time wall-clock (UTC+8), whatever
// the computer's own time zone; invalid when the header does not parse.
QDateTime chinaTimeOf(const QByteArray &dateHeader);
