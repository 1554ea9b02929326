#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

// One HTTP exchange as the network services need it. answered is false when
// no server replied (refused, unreachable, abandoned after the time limit).
struct HttpReply {
    bool answered = false;
    int status = 0;
    QByteArray contentType;
    QByteArray date; // the Date header, raw
    QString body;
    // Started when the answer arrived: handlers that run inside the wait may
    // hold the caller back for a long time after that.
    QElapsedTimer sinceArrival;
};
