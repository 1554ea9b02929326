#pragma once
// The user's own query beside what the book keeps: a good answer is kept as
// the parcel's last progress, and the kept progress stands in when a query
// fails. While such a query waits, the book watch and the loop hold back.
#include <QString>

class Form1;
struct TrackingReading;

class QueryFallback {
public:
    explicit QueryFallback(Form1 &window) : window(window) {}

    // A successful reply is kept as the parcel's last progress; any other
    // leaves what is kept.
    void keep(const QString &id, const TrackingReading &reading);
    // Shows the kept progress of the parcel in the progress list, as a fresh
    // reply is shown, and says on the status line when it was queried.
    // False when nothing is kept.
    bool showKept(const QString &id, const QString &reason);

    // The parcel whose kept progress stands in when its query fails.
    QString fallbackId;
    // A query of the user's own is waiting for its reply (kdgs holds it).
    bool userQueryRuns() const { return userQueries > 0; }
    int userQueries = 0;

private:
    Form1 &window;
};
