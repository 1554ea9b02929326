#include "tracking/Progress.h"
#include "app/Tr.h"

#include <QRegularExpression>

namespace {
const QString TimeMarker = QStringLiteral("\"time\":\"");
const QString ContextMarker = QStringLiteral("\"context\":\"");
const QString CodeMarker = QStringLiteral("errCode\":\"");

// Walks the values of one key in order, so that a long reply is read in
// one pass instead of searching from its start for every event.
class ValueCursor {
public:
    ValueCursor(const QString &text, const QString &marker) : text(text), marker(marker) {}
    std::optional<QString> next()
    {
        if (from < 0)
            return std::nullopt;
        const qsizetype at = text.indexOf(marker, from);
        if (at < 0) {
            from = -1;
            return std::nullopt;
        }
        const qsizetype start = at + marker.size();
        const qsizetype end = text.indexOf(QLatin1Char('"'), start);
        if (end < 0) {
            from = -1;
            return std::nullopt;
        }
        from = at + 1;
        return text.mid(start, end - start);
    }

private:
    const QString &text;
    const QString &marker;
    qsizetype from = 0;
};
} // namespace

std::optional<QString> cutAfter(const QString &text, const QString &marker, int occurrence)
{
    if (occurrence < 1 || marker.isEmpty())
        return std::nullopt;
    ValueCursor cursor(text, marker);
    std::optional<QString> value;
    for (int i = 0; i < occurrence; ++i) {
        value = cursor.next();
        if (!value)
            return std::nullopt;
    }
    return value;
}

std::optional<QString> resultCode(const QString &reply)
{
    return cutAfter(reply, CodeMarker);
}

ReplyReading readReply(const QString &reply)
{
    ReplyReading r;
    const std::optional<QString> code = resultCode(reply);
    r.code = code.value_or(QString());
    bool numeric = false;
    const double value = r.code.trimmed().toDouble(&numeric);
    if (!code || !numeric)
        r.kind = ReplyReading::Unreadable;
    else if (value == 0)
        r.kind = ReplyReading::Success;
    else if (r.code == QLatin1String("1")) // " 1" or "1.0" is a failure without text
        r.kind = ReplyReading::UnknownNumber;
    else
        r.kind = ReplyReading::Failure;
    if (r.kind == ReplyReading::Failure)
        r.message = resultMessage(r.code);
    return r;
}

int countTime(const QString &reply)
{
    int n = 0;
    const QString word = QStringLiteral("time");
    for (qsizetype at = reply.indexOf(word); at >= 0; at = reply.indexOf(word, at + 1))
        ++n;
    return n;
}

QString replaceEscapedSlash(const QString &context)
{
    QString out = context;
    return out.replace(QStringLiteral("\\/"), QStringLiteral(" "));
}

QList<ProgressEntry> progressEntries(const QString &reply, int limit)
{
    QList<ProgressEntry> out;
    ValueCursor times(reply, TimeMarker);
    ValueCursor contexts(reply, ContextMarker);
    while (out.size() < limit) {
        const auto time = times.next();
        const auto context = contexts.next();
        if (!time || !context)
            break;
        out.append({int(out.size()) + 1, *time, replaceEscapedSlash(*context)});
    }
    return out;
}

std::optional<QDateTime> parseEventTime(const QString &text)
{
    // Bring the usual spellings to one form: dashes between the date parts,
    // one blank before the time.
    QString t = text.trimmed();
    t.replace(QLatin1Char('/'), QLatin1Char('-'));
    t.replace(QLatin1Char('.'), QLatin1Char('-'));
    t.replace(QStringLiteral("年"), QStringLiteral("-"));
    t.replace(QStringLiteral("月"), QStringLiteral("-"));
    t.replace(QStringLiteral("日"), QStringLiteral(" "));
    t.replace(QLatin1Char('T'), QLatin1Char(' '));
    t = t.simplified();
    static const char *const forms[] = {"yyyy-M-d h:mm:ss", "yyyy-M-d h:mm", "yyyy-M-d"};
    for (const char *form : forms) {
        QDateTime dt = QDateTime::fromString(t, QLatin1String(form));
        if (dt.isValid()) {
            dt.setTimeSpec(Qt::LocalTime);
            return dt;
        }
    }
    return std::nullopt;
}

QString eventTimeText(const QString &text)
{
    // Most services already write the display's form: checked digit by
    // digit, as the parser would look up the time zone for every event.
    static const char shape[] = "dddd-dd-dd dd:dd:dd";
    bool plain = text.size() == 19;
    for (qsizetype i = 0; plain && i < 19; ++i) {
        const QChar c = text.at(i);
        plain = shape[i] == 'd' ? (c >= QLatin1Char('0') && c <= QLatin1Char('9')) : c == QLatin1Char(shape[i]);
    }
    if (plain) {
        auto number = [&](int at, int size) { return QStringView(text).mid(at, size).toInt(); };
        if (QDate(number(0, 4), number(5, 2), number(8, 2)).isValid() &&
            QTime(number(11, 2), number(14, 2), number(17, 2)).isValid())
            return text;
    }
    const auto parsed = parseEventTime(text);
    return parsed ? parsed->toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : text;
}

QString durationText(qint64 seconds)
{
    // C++ division truncates toward zero and % keeps the dividend's sign,
    // which is exactly how the parts are meant to come out.
    const qint64 days = seconds / 86400;
    const qint64 hours = (seconds / 3600) % 24;
    const qint64 minutes = (seconds % 3600) / 60;
    return Parcelio::tr("%1天%2小时%3分").arg(days).arg(hours).arg(minutes);
}

qint64 secondsBetween(const QString &from, const QDateTime &to)
{
    const auto start = parseEventTime(from);
    if (!start || !to.isValid())
        return 0;
    return start->secsTo(to);
}

qint64 secondsBetween(const QString &from, const QString &to)
{
    const auto end = parseEventTime(to);
    return end ? secondsBetween(from, *end) : 0;
}

QString resultMessage(const QString &code)
{
    static const struct {
        const char *code;
        const char *text;
    } table[] = {
        {"2", "验证码错误,可能此快递公司失效,请联系管理员"},
        {"3", "链接查询服务器失败!请稍后再试.."},
        {"4", "程序内部错误!请稍后再试.."},
        {"5", "程序执行错误!请稍后再试.."},
        {"6", "递单号格式错误!请您检查.."},
        {"7", "快递公司错误错误!请您检查.."},
        {"10", "未知错误，请稍后再试.."},
        {"20", "API错误..请联系管理员检查.."},
        {"21", "API出问题,请联系管理员更新.."},
        {"22", "非常抱歉!API今日查询次数已尽,请您明日再使用!"},
    };
    for (const auto &row : table)
        if (code == QLatin1String(row.code))
            return QString::fromUtf8(row.text);
    return QString();
}
