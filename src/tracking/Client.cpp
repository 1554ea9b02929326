#include "tracking/Client.h"
#include "app/Tr.h"
#include "store/Store.h"

#include <QCryptographicHash>
#include <QSet>

namespace {
// Keys of the client's memory: per service, per number and courier.
QString registeredKey(const QString &service, const ServiceAsk &ask)
{
    return QStringLiteral("client/%1/registered/%2").arg(service, numberKey(ask.number));
}
QString refusedKey(const QString &service, const ServiceAsk &ask)
{
    // With the courier: a refusal for a number lasts until either is edited.
    return QStringLiteral("client/%1/refused/%2/%3").arg(service, numberKey(ask.number), ask.code);
}
QString accountKey(const QString &service)
{
    return QStringLiteral("client/%1/account").arg(service);
}

QString monthOf(const QDateTime &at)
{
    return at.toLocalTime().toString(QStringLiteral("yyyy-MM"));
}

QDateTime nextMonth(const QDateTime &at)
{
    const QDate d = at.toLocalTime().date();
    return QDateTime(QDate(d.year(), d.month(), 1).addMonths(1), QTime(0, 0));
}

// A failure that asks to wait, its wait capped and judged against now.
void capHold(TrackingReading &r, const QDateTime &now)
{
    if (r.trouble != TrackingReading::Quota)
        return;
    const QDateTime latest = now.addSecs(TrackingClient::MaxHoldSeconds);
    if (!r.retryAt.isValid() || r.retryAt < now)
        r.retryAt = now.addSecs(60);
    else if (r.retryAt > latest)
        r.retryAt = latest;
}
} // namespace

struct TrackingClient::Round {
    QList<ServiceAsk> asks;
    QList<TrackingReading> out;
    QList<int> pending;  // still to be read
    QList<int> unregistered; // to be registered before they are read
    QSet<int> fresh;     // registered by this ask: an empty answer waits a little
    bool reregistered = false;
    std::function<void(const QList<TrackingReading> &)> done;
};

TrackingClient::TrackingClient(std::shared_ptr<const TrackingService> service, ClientWaiting waiting_,
                               ClientMemory memory_)
    : svc(std::move(service)),
      waiting(std::move(waiting_)),
      memory(std::move(memory_))
{
}

std::optional<TrackingReading> TrackingClient::accountRefusal() const
{
    const QStringList kept = memory.get(accountKey(svc->name())).split(QLatin1Char('|'));
    const QDateTime now = waiting.clock();
    // A spent monthly quota: until the month ends or the settings name
    // another account.
    if (kept.size() != 3 || kept.at(0) != monthOf(now) || kept.at(1) != svc->account())
        return std::nullopt;
    TrackingReading r = troubleReading(TrackingReading::Quota, kept.at(2));
    r.lasting = TrackingReading::UntilNextMonth;
    r.retryAt = nextMonth(now);
    capHold(r, now);
    return r;
}

void TrackingClient::ask(const QList<ServiceAsk> &asks, std::function<void(const QList<TrackingReading> &)> done)
{
    auto round = std::make_shared<Round>();
    round->asks = asks;
    round->out = QList<TrackingReading>(asks.size());
    round->done = std::move(done);
    const std::optional<TrackingReading> account = svc->registers() ? accountRefusal() : std::nullopt;
    for (int i = 0; i < asks.size(); ++i) {
        const ServiceAsk &a = asks.at(i);
        TrackingReading refused = svc->refusal(a);
        if (refused.kind != TrackingReading::NoAnswer) {
            round->out[i] = refused;
            continue;
        }
        if (svc->registers()) {
            // Refused at registration: told again, not asked again, until
            // the number or its courier is edited.
            const QString kept = memory.get(refusedKey(svc->name(), a));
            if (!kept.isEmpty()) {
                TrackingReading r = troubleReading(TrackingReading::Refused, kept.section(QLatin1Char('|'), 1));
                r.serviceCode = kept.section(QLatin1Char('|'), 0, 0).toInt();
                r.lasting = TrackingReading::UntilEdited;
                round->out[i] = r;
                continue;
            }
            if (memory.get(registeredKey(svc->name(), a)).isEmpty()) {
                // The quota is one of registrations: a number already
                // registered is still read.
                if (account) {
                    round->out[i] = *account;
                    continue;
                }
                round->unregistered.append(i);
            }
        }
        round->pending.append(i);
    }
    if (!round->unregistered.isEmpty())
        registerThen(round);
    else
        read(round, 0);
}

namespace {
// Sends the request; a 429 asking for a wait of seconds is waited out and
// the request sent again (twice at most): a per-second limit is no quota.
void sendPaced(const ClientWaiting &waiting, const ServiceRequest &request, int shortHoldMs, int tries,
               std::function<void(const ServiceAnswer &)> then)
{
    waiting.send(request, [=, &waiting](const ServiceAnswer &a) {
        if (a.answered && a.status == 429 && tries < 2) {
            const qint64 ms = a.at.msecsTo(retryMoment(a.retryAfter, a.at, 1));
            if (ms >= 0 && ms <= shortHoldMs) {
                waiting.after(int(qMax<qint64>(ms, 1000)),
                              [=, &waiting] { sendPaced(waiting, request, shortHoldMs, tries + 1, then); });
                return;
            }
        }
        then(a);
    });
}
} // namespace

void TrackingClient::registerThen(const std::shared_ptr<Round> &round)
{
    QList<ServiceAsk> asks;
    for (int i : std::as_const(round->unregistered))
        asks.append(round->asks.at(i));
    sendPaced(waiting, svc->batchRequest(asks, true), shortHoldMs, 0, [this, round, asks](const ServiceAnswer &a) {
        const QList<TrackingReading> results = svc->readRegistration(a, asks);
        const QString service = svc->name();
        const QDateTime now = waiting.clock();
        const QList<int> registering = std::exchange(round->unregistered, {});
        // A batch of up to 40 registrations is one write, not 40.
        QList<QPair<QString, QString>> registered;
        for (int k = 0; k < registering.size(); ++k) {
            const int i = registering.at(k);
            TrackingReading r = results.value(k);
            if (r.kind == TrackingReading::NoEvents) {
                registered.append({registeredKey(service, round->asks.at(i)), QString::number(now.toMSecsSinceEpoch())});
                round->fresh.insert(i);
                continue;
            }
            // Not registered: told now, and not read.
            round->pending.removeOne(i);
            if (r.lasting == TrackingReading::UntilEdited)
                memory.set(refusedKey(service, round->asks.at(i)),
                           QStringLiteral("%1|%2").arg(r.serviceCode).arg(r.reply.message));
            if (r.lasting == TrackingReading::UntilNextMonth) {
                memory.set(accountKey(service),
                           QStringLiteral("%1|%2|%3").arg(monthOf(now), svc->account(), r.reply.message));
                // Only registrations are refused: the registered numbers
                // of the account are read on.
                r.accountWide = false;
            }
            round->out[i] = r;
        }
        if (memory.setMany)
            memory.setMany(registered);
        else
            for (const auto &[key, value] : std::as_const(registered))
                memory.set(key, value);
        read(round, 0);
    });
}

void TrackingClient::read(const std::shared_ptr<Round> &round, int shortWaits)
{
    if (round->pending.isEmpty())
        return finish(round);
    QList<ServiceAsk> asks;
    for (int i : std::as_const(round->pending))
        asks.append(round->asks.at(i));
    sendPaced(waiting, svc->batchRequest(asks, false), shortHoldMs, 0,
              [this, round, asks, shortWaits](const ServiceAnswer &a) {
        const QList<TrackingReading> readings = svc->readBatch(a, asks);
        const QDateTime now = waiting.clock();
        const QList<int> asked = std::exchange(round->pending, {});
        for (int k = 0; k < asked.size(); ++k) {
            const int i = asked.at(k);
            const ServiceAsk &ask = round->asks.at(i);
            TrackingReading r = readings.value(k);
            // A reply that came but is no answer (too large, sent elsewhere): said so.
            if (!a.answered && !a.refused.isEmpty())
                r = troubleReading(TrackingReading::NoTrouble, Parcelio::tr("查询服务") + a.refused);
            // An answer about another number is no answer about this one.
            if (!r.number.isEmpty() && numberKey(r.number) != numberKey(ask.number)) {
                round->out[i] = troubleReading(TrackingReading::NoTrouble, ServiceText::ForeignNumber());
                continue;
            }
            if (r.needsPrelude) {
                // The service forgot it (or another program registered it
                // under another key): registered again, once.
                memory.set(registeredKey(svc->name(), ask), QString());
                if (!round->reregistered) {
                    round->unregistered.append(i);
                    round->pending.append(i);
                    continue;
                }
            }
            if (svc->registers() && r.kind == TrackingReading::Failure &&
                r.reply.kind == ReplyReading::UnknownNumber) {
                // Not found yet: the service fetches the carrier's data after
                // registering. Given a day before the number is called unknown.
                qint64 since = memory.get(registeredKey(svc->name(), ask)).toLongLong();
                if (since > now.toMSecsSinceEpoch()) {
                    // Registered by a clock ahead of this one: its day
                    // starts now.
                    since = now.toMSecsSinceEpoch();
                    memory.set(registeredKey(svc->name(), ask), QString::number(since));
                }
                if (since > 0 && now.toMSecsSinceEpoch() - since < FirstAnswerSeconds * 1000) {
                    if (round->fresh.contains(i) && shortWaits == 0) {
                        round->pending.append(i);
                        continue;
                    }
                    r = troubleReading(TrackingReading::Awaiting);
                }
            }
            if (r.lasting == TrackingReading::UntilNextMonth)
                memory.set(accountKey(svc->name()),
                           QStringLiteral("%1|%2|%3").arg(monthOf(now), svc->account(), r.reply.message));
            // An answer read: whatever hold a 429 gave the account is over.
            if ((r.kind == TrackingReading::Events || r.kind == TrackingReading::NoEvents) &&
                memory.get(QString::fromLatin1(AccountHeldSetting)).toLongLong() > now.toMSecsSinceEpoch())
                memory.set(QString::fromLatin1(AccountHeldSetting), QStringLiteral("0"));
            round->out[i] = r;
        }
        if (!round->unregistered.isEmpty()) {
            // Those waiting a little are read with the registered ones.
            round->reregistered = true;
            registerThen(round);
            return;
        }
        if (!round->pending.isEmpty()) {
            waiting.after(firstWaitMs, [this, round, shortWaits] { read(round, shortWaits + 1); });
            return;
        }
        finish(round);
    });
}

void TrackingClient::finish(const std::shared_ptr<Round> &round)
{
    const QDateTime now = waiting.clock();
    for (TrackingReading &r : round->out)
        capHold(r, now);
    round->done(round->out);
}

QString holdText(const QDateTime &until, const QDateTime &now)
{
    const QDateTime local = until.toLocalTime();
    if (local.date() == now.toLocalTime().date())
        return local.toString(QStringLiteral("hh:mm"));
    return local.toString(QStringLiteral("yyyy-MM-dd hh:mm"));
}

qint64 sanedHoldMs(qint64 heldUntilMs, qint64 nowMs)
{
    if (heldUntilMs <= nowMs || heldUntilMs - nowMs > TrackingClient::MaxHoldSeconds * 1000)
        return 0;
    return heldUntilMs;
}

qint64 sanedAnswerMs(qint64 answeredMs, qint64 nowMs)
{
    return answeredMs > nowMs ? 0 : answeredMs;
}

PaceWait automaticQueryWait(Store &store, qint64 id, const QDateTime &now, qint64 restMs)
{
    const qint64 nowMs = now.toMSecsSinceEpoch();
    const Store::PaceNote note = store.paceOf(id);
    const qint64 account = store.watchSetting(QString::fromLatin1(AccountHeldSetting), QStringLiteral("0")).toLongLong();
    const qint64 held = qMax(sanedHoldMs(note.heldUntilMs, nowMs), sanedHoldMs(account, nowMs));
    if (held > nowMs)
        return PaceWait{QDateTime::fromMSecsSinceEpoch(held), true};
    const qint64 answered = sanedAnswerMs(note.answeredMs, nowMs);
    if (restMs > 0 && answered > 0 && nowMs - answered < restMs)
        return PaceWait{QDateTime::fromMSecsSinceEpoch(answered + restMs), false};
    return PaceWait{};
}

bool keepAnswerPace(Store &store, const TrackingService &service, qint64 id, const TrackingReading &reading,
                    const QDateTime &now)
{
    if (reading.kind == TrackingReading::NoAnswer)
        return true;
    const bool held = reading.trouble == TrackingReading::Quota && reading.retryAt.isValid();
    if (id > 0 && service.paced() &&
        !store.notePace(id, now.toMSecsSinceEpoch(), held ? reading.retryAt.toMSecsSinceEpoch() : 0))
        return false;
    // The whole account waits: the rounds and the loop wait with it.
    if (held && reading.accountWide)
        return store.writeWatchSetting(QString::fromLatin1(AccountHeldSetting),
                                       QString::number(reading.retryAt.toMSecsSinceEpoch()));
    return true;
}

ClientMemory storeMemory(Store &store)
{
    return ClientMemory{[&store](const QString &key) { return store.watchSetting(key); },
                        [&store](const QString &key, const QString &value) { store.writeWatchSetting(key, value); },
                        [&store](const QList<QPair<QString, QString>> &pairs) { store.writeWatchSettings(pairs); }};
}
