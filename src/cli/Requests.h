#pragma once
// The commands' requests, each waited for in a nested event loop.
#include "cli/CommandContext.h"
#include "net/Http.h"
#include "tracking/Client.h"

namespace cli {
// A reply that came, bounded and kept on its host, as the tracking
// service's are read.
using Fetched = ServiceAnswer;

// What the tracking service said of one number, read as the window reads it.
struct Tracked {
    TrackingReading reading;
    QDateTime queried;
};

// The request as the window sends it, waited for at most limitMs.
Fetched fetch(Context &c, const QString &url);
// Why an answer is no good, with the service named first; none when it is.
std::optional<Failed> noGoodAnswer(const Fetched &f, const QString &service);
// One request of the tracking service, waited for at most limitMs.
ServiceAnswer exchange(Context &c, const ServiceRequest &request);
// Asks the tracking service about one number; the reading is in t also when
// it failed.
std::optional<Failed> track(Context &c, const CourierRecord &courier, const QString &number, const QString &phone,
                            Tracked &t);
} // namespace cli
