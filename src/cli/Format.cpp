#include "cli/Format.h"
#include "app/Tr.h"
#include "cli/Terminal.h"
#include "tracking/Progress.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace cli {
namespace {
// The kept count as a number, as refresh gives it; null when the book holds
// none that reads as one (a row kept before counts were).
std::optional<double> countOf(const QString &num)
{
    bool ok = false;
    const double n = num.trimmed().toDouble(&ok);
    return ok && std::isfinite(n) ? std::optional<double>(n) : std::nullopt;
}

// The row's status with the user's marks: picked up, else archived, else
// as kept.
Status markedStatus(const BookRow &r)
{
    const Status status = bookRowStatus(r);
    return status != Status::PickedUp && !r.life.archived.isEmpty() ? Status::Archived : status;
}

// How a parcel's text and count are written (see ParcelsJson): neither
// output changes under scripts that compare it.
enum class JsonStyle { Row, List };

// Escaped as QJsonDocument escapes it, or in a list always as \u00XX.
void appendEscaped(QByteArray &to, char16_t u, JsonStyle style)
{
    if (style == JsonStyle::Row)
        switch (u) {
        case u'\b': to += "\\b"; return;
        case u'\f': to += "\\f"; return;
        case u'\n': to += "\\n"; return;
        case u'\r': to += "\\r"; return;
        case u'\t': to += "\\t"; return;
        default: break;
        }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(u));
    to += escaped;
}

// Text without a lone surrogate.
void appendJsonText(QByteArray &to, QStringView s, JsonStyle style)
{
    for (const char ch : s.toUtf8()) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            to += '\\';
            to += ch;
        } else if (c < 0x20) {
            appendEscaped(to, c, style);
        } else {
            to += ch;
        }
    }
}

// A surrogate without its pair cannot be UTF-8: in a single row escaped, as
// QJsonDocument does, rather than turned into "?".
void appendJsonString(QByteArray &to, const QString &s, JsonStyle style)
{
    to += '"';
    qsizetype run = 0;
    for (qsizetype i = 0; style == JsonStyle::Row && i < s.size(); ++i) {
        const QChar ch = s.at(i);
        if (!ch.isSurrogate())
            continue;
        if (ch.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        appendJsonText(to, QStringView(s).mid(run, i - run), style);
        appendEscaped(to, ch.unicode(), style);
        run = i + 1;
    }
    appendJsonText(to, QStringView(s).mid(run), style); // in a list, toUtf8() makes a lone surrogate "?"
    to += '"';
}

// As QJsonDocument writes a double: whole numbers it holds exactly in full.
// A list gives the shortest form.
QByteArray jsonNumber(double d, JsonStyle style)
{
    if (style == JsonStyle::List)
        return QByteArray::number(d, 'g', QLocale::FloatingPointShortest);
    const bool whole = d == std::trunc(d) && std::abs(d) <= 9007199254740992.0;
    return QByteArray::number(d, whole ? 'f' : 'g', QLocale::FloatingPointShortest);
}
} // namespace

QJsonArray eventsJson(const QList<KeptEvent> &events)
{
    QJsonArray a;
    for (const KeptEvent &e : events)
        a.append(QJsonObject{{QStringLiteral("time"), e.time}, {QStringLiteral("context"), e.context}});
    return a;
}

// Where a parcel waits and its code: the station and phone of its newest
// event while it waits (or was picked up there), the code as kept.
PickupStation stationOf(const QString &newest, Status stage)
{
    return stage == Status::AtStation || stage == Status::PickedUp ? pickupStationOf(newest) : PickupStation{};
}

QJsonObject pickupJson(const PickupStation &at, const QString &code)
{
    return QJsonObject{{QStringLiteral("station"), at.station},
                       {QStringLiteral("phone"), at.phone},
                       {QStringLiteral("code"), code}};
}

namespace {
// Written as text, keys in order, as QJsonDocument writes them compact: a
// book of thousands is listed without holding each row as JSON values too.
void appendParcelJson(QByteArray &to, const BookRow &r, JsonStyle style)
{
    to += "{\"company\":";
    appendJsonString(to, r.parcel.company, style);
    to += ",\"count\":";
    const std::optional<double> count = countOf(r.parcel.num);
    to += count ? jsonNumber(*count, style) : QByteArray("null");
    to += ",\"goods\":";
    appendJsonString(to, r.parcel.goods, style);
    to += ",\"id\":" + QByteArray::number(r.parcel.id) + ",\"newest\":";
    if (r.newest.time.isEmpty() && r.newest.context.isEmpty()) {
        to += "null";
    } else {
        to += "{\"context\":";
        appendJsonString(to, r.newest.context, style);
        to += ",\"time\":";
        appendJsonString(to, r.newest.time, style);
        to += '}';
    }
    to += ",\"number\":";
    appendJsonString(to, r.parcel.number, style);
    to += ",\"phone\":";
    if (r.phone.isEmpty())
        to += "null";
    else
        appendJsonString(to, r.phone, style);
    const Status stage = bookRowStatus(r);
    const PickupStation at = stationOf(r.newest.context, stage);
    to += ",\"pickup\":{\"code\":";
    appendJsonString(to, r.life.code, style);
    to += ",\"phone\":";
    appendJsonString(to, at.phone, style);
    to += ",\"station\":";
    appendJsonString(to, at.station, style);
    // Local time, as kept: ISO 8601 without a zone.
    to += "},\"queried\":";
    if (r.queried.isEmpty())
        to += "null";
    else
        appendJsonString(to, QString(r.queried).replace(QLatin1Char(' '), QLatin1Char('T')), style);
    to += ",\"stage\":";
    appendJsonString(to, stageWords(stage), style);
    to += ",\"state\":";
    appendJsonString(to, stateWords(r.status), style);
    to += ",\"status\":";
    appendJsonString(to, statusCode(markedStatus(r)), style);
    to += r.unseen ? ",\"unseen\":true}" : ",\"unseen\":false}";
}
} // namespace

void printParcelJson(const BookRow &r)
{
    QByteArray text;
    appendParcelJson(text, r, JsonStyle::Row);
    text += '\n';
    outUtf8(text);
}

void printParcelsJson(const QList<BookRow> &rows, ParcelsJson style)
{
    // Written row by row: a book of thousands would otherwise be held
    // twice over (rows, text) before the first byte.
    QByteArray text = "[";
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i > 0)
            text += ',';
        appendParcelJson(text, rows.at(i), style == ParcelsJson::Book ? JsonStyle::List : JsonStyle::Row);
        if (text.size() > 65536) {
            outUtf8(text);
            text.clear();
        }
    }
    text += "]\n";
    outUtf8(text);
}

// The status in the user's language.
QString stateColumn(const BookRow &r)
{
    const Status stage = bookRowStatus(r);
    return stage == Status::Unknown ? Parcelio::tr("未查询") : shownStatus(stage);
}

QString parcelLine(const ParcelRecord &p)
{
    return QStringLiteral("[%1] %2 %3 %4").arg(p.id).arg(plain(p.company), plain(p.number), plain(p.goods));
}

QList<KeptEvent> keptEvents(const TrackingReading &r)
{
    return keptProgressOf(0, r, QDateTime()).events;
}
} // namespace cli
