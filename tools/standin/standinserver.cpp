#include "standinserver.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

#include <memory>

namespace {

const QByteArray kJsonUtf8 = QByteArrayLiteral("application/json; charset=utf-8");
const QByteArray kJsonGbk = QByteArrayLiteral("application/json; charset=GBK");
const QByteArray kHtmlUtf8 = QByteArrayLiteral("text/html; charset=utf-8");
// The recognition service labels its JSON as HTML; clients must cope with that.
const QByteArray kAutonumberType = QByteArrayLiteral("text/html;charset=UTF-8");

QByteArray keyRejected()
{
    return QByteArrayLiteral(R"({"errCode":"20","message":"API key rejected"})");
}

QByteArray unknownNumber()
{
    return QJsonDocument(QJsonObject{{"errCode", "1"}, {"message", QStringLiteral("单号不存在")}})
        .toJson(QJsonDocument::Compact);
}

// Numbers become file names, so anything but plain letters and digits is
// refused before it can reach the file system.
bool isPlainNumber(const QString &number)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,40}$"));
    return plain.match(number).hasMatch();
}

QByteArray methodName(QHttpServerRequest::Method method)
{
    const char *key = QMetaEnum::fromType<QHttpServerRequest::Method>().valueToKey(int(method));
    return key ? QByteArray(key).toUpper() : QByteArrayLiteral("UNKNOWN");
}

QByteArray oneLine(QByteArray value)
{
    return value.replace('\t', ' ').replace('\r', ' ').replace('\n', ' ');
}

QByteArray readAll(const QString &path, bool *ok = nullptr)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? file.readAll() : QByteArray();
}

} // namespace

QByteArray httpDate(const QDateTime &when)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDateTime utc = when.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    return QString::asprintf("%s, %02d %s %04d %02d:%02d:%02d GMT", days[d.dayOfWeek() - 1], d.day(),
                             months[d.month() - 1], d.year(), t.hour(), t.minute(), t.second())
        .toLatin1();
}

StandInServer::StandInServer(StandInConfig config) : m_config(std::move(config))
{
    addRoute(QStringLiteral("/"), &StandInServer::tracking);
    addRoute(QStringLiteral("/autonumber/auto"), &StandInServer::autonumber);
    addRoute(QStringLiteral("/version/gx.txt"), &StandInServer::version);
    addRoute(QStringLiteral("/data/tg.txt"), &StandInServer::notice);
    addRoute(QStringLiteral("/probe"), &StandInServer::probe);
    addRoute(QStringLiteral("/Ebusiness/EbusinessOrderHandle.aspx"), &StandInServer::kdniao);
    addRoute(QStringLiteral("/track/v2.2/register"), &StandInServer::track17Register);
    addRoute(QStringLiteral("/track/v2.2/gettrackinfo"), &StandInServer::track17Info);
    m_http.setMissingHandler([this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
        if (!preamble(request, responder))
            staticFile(request, std::move(responder));
    });
}

bool StandInServer::openLog(const QString &path, QString *error)
{
    m_log.setFileName(path);
    if (m_log.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    *error = m_log.errorString();
    return false;
}

quint16 StandInServer::listen(quint16 port)
{
    return m_http.listen(QHostAddress::LocalHost, port);
}

void StandInServer::addRoute(const QString &path, Handler handler)
{
    // Route patterns are regular expressions: escape so "gx.txt" matches only itself.
    m_http.route(QRegularExpression::escape(path),
                 [this, handler](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                     if (!preamble(request, responder))
                         (this->*handler)(request, std::move(responder));
                 });
}

// Common to every request: log it, and answer HEAD at once (the program's
// clock calibration only wants the Date header). True when answered.
bool StandInServer::preamble(const QHttpServerRequest &request, QHttpServerResponder &responder)
{
    log(request);
    if (request.method() != QHttpServerRequest::Method::Head)
        return false;
    const std::optional<QByteArray> date = nextHeadDate();
    const Modifiers mods = readModifiers(fixture(QStringLiteral("head")));
    if (mods.streamBytes >= 0) {
        // The size a GET would bring, told as a HEAD reply tells it, with no body.
        auto parked = std::make_shared<QHttpServerResponder>(std::move(responder));
        QTcpSocket *socket = parked->socket();
        socket->write("HTTP/1.1 200 Stand-in\r\nContent-Type: " + kHtmlUtf8 +
                      "\r\nContent-Length: " + QByteArray::number(mods.streamBytes) +
                      "\r\nDate: " + date.value_or(this->date()) + "\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
        QObject::connect(socket, &QObject::destroyed, [parked] {});
        return true;
    }
    if (mods.delayMs > 0) {
        auto held = std::make_shared<QHttpServerResponder>(std::move(responder));
        QTimer::singleShot(mods.delayMs, Qt::PreciseTimer, held->socket(), [this, held, date] {
            send(std::move(*held), {Status::Ok, kHtmlUtf8, {}}, date);
        });
        return true;
    }
    send(std::move(responder), {Status::Ok, kHtmlUtf8, {}}, date);
    return true;
}

// head-dates.txt scripts the Date of HEAD replies, one line per request in
// order ("none": no Date header at all); past its end the usual date.
std::optional<QByteArray> StandInServer::nextHeadDate()
{
    const QList<QByteArray> lines = readAll(fixture(QStringLiteral("head-dates.txt"))).split('\n');
    const int index = m_headRequests++;
    if (index >= lines.size() || (index == lines.size() - 1 && lines.last().trimmed().isEmpty()))
        return std::nullopt;
    const QByteArray line = lines.at(index).trimmed();
    return line == "none" ? QByteArray() : oneLine(line);
}

void StandInServer::tracking(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const QUrlQuery query = request.query();
    // "id" comes twice: the account number first, then the API key.
    const QStringList ids = query.allQueryItemValues(QStringLiteral("id"), QUrl::FullyDecoded);
    const bool authorised =
        ids.size() == 2 && ids[0] == m_config.account && ids[1] == m_config.key &&
        query.queryItemValue(QStringLiteral("secret"), QUrl::FullyDecoded) == m_config.secret;
    if (!authorised) {
        send(std::move(responder), {Status::Ok, kJsonUtf8, keyRejected()});
        return;
    }

    const QString number = query.queryItemValue(QStringLiteral("nu"), QUrl::FullyDecoded);
    if (!isPlainNumber(number)) {
        send(std::move(responder), {Status::Ok, kJsonUtf8, unknownNumber()});
        return;
    }

    const QString base = fixture(QStringLiteral("tracking/") + number);
    bool found = false;
    Reply reply{Status::Ok, kJsonUtf8, readAll(base + QStringLiteral(".json"), &found)};
    if (!found)
        reply.body = unknownNumber();

    const Modifiers mods = readModifiers(base);
    if (mods.gbk) {
        QStringEncoder gbk("GBK");
        const QByteArray encoded = gbk.isValid() ? gbk(QString::fromUtf8(reply.body)) : QByteArray();
        if (!gbk.isValid() || gbk.hasError()) {
            qWarning("parcelio-standin: cannot encode %s as GBK", qPrintable(number));
            reply = {Status::InternalServerError, kHtmlUtf8,
                     "<html><body><h1>500 GBK encoding failed</h1></body></html>"};
        } else {
            reply.body = encoded;
            reply.contentType = kJsonGbk;
        }
    }
    deliver(std::move(responder), std::move(reply), mods);
}

void StandInServer::autonumber(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const QString number = request.query().queryItemValue(QStringLiteral("num"), QUrl::FullyDecoded);
    Reply reply{Status::Ok, kAutonumberType, QByteArrayLiteral("[]")};
    if (!isPlainNumber(number)) {
        send(std::move(responder), reply);
        return;
    }

    const QString base = fixture(QStringLiteral("autonumber/") + number);
    bool raw = false;
    const QByteArray canned = readAll(base + QStringLiteral(".txt"), &raw);
    if (raw) {
        reply.body = canned;
    } else {
        QString bestPrefix, bestCode;
        const QString table = QString::fromUtf8(readAll(fixture(QStringLiteral("autonumber/prefixes.txt"))));
        for (const QString &line : table.split(QLatin1Char('\n'))) {
            const QStringList fields = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (fields.size() != 2 || fields[0].startsWith(QLatin1Char('#')))
                continue;
            if (number.startsWith(fields[0]) && fields[0].size() > bestPrefix.size()) {
                bestPrefix = fields[0];
                bestCode = fields[1];
            }
        }
        if (!bestPrefix.isEmpty()) {
            const QJsonObject match{
                {"comCode", bestCode}, {"id", ""}, {"noCount", 1}, {"noPre", bestPrefix}, {"startTime", ""}};
            reply.body = QJsonDocument(QJsonArray{match}).toJson(QJsonDocument::Compact);
        }
    }
    deliver(std::move(responder), std::move(reply), readModifiers(base));
}

void StandInServer::version(const QHttpServerRequest &, QHttpServerResponder &&responder)
{
    textFile(QStringLiteral("version/gx"), std::move(responder));
}

void StandInServer::notice(const QHttpServerRequest &, QHttpServerResponder &&responder)
{
    textFile(QStringLiteral("data/tg"), std::move(responder));
}

// base.txt as plain text, delivered as the files beside it say (a status
// with the same body, another content type such as a login page's, a delay).
void StandInServer::textFile(const QString &base, QHttpServerResponder &&responder)
{
    bool found = false;
    const QByteArray body = readAll(fixture(base + QStringLiteral(".txt")), &found);
    if (!found) {
        sendNotFound(std::move(responder));
        return;
    }
    deliver(std::move(responder), {Status::Ok, QByteArrayLiteral("text/plain; charset=utf-8"), body},
            readModifiers(fixture(base)));
}

void StandInServer::probe(const QHttpServerRequest &, QHttpServerResponder &&responder)
{
    deliver(
        std::move(responder),
        {Status::Ok, kHtmlUtf8, "<html><head><title>Parcelio</title></head><body><p>ok</p></body></html>"},
        readModifiers(fixture(QStringLiteral("probe"))));
}

void StandInServer::staticFile(const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const QString path = request.url().path(QUrl::FullyDecoded);
    const QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const bool escapes = segments.contains(QStringLiteral("..")) || path.contains(QLatin1Char('\\')) ||
                         path.contains(QChar(0));
    if (escapes) {
        send(std::move(responder),
             {Status::Forbidden, kHtmlUtf8, "<html><body><h1>403 Forbidden</h1></body></html>"});
        return;
    }

    const QString root = QDir(fixture(QStringLiteral("www"))).canonicalPath();
    const QFileInfo info(fixture(QStringLiteral("www/") + segments.join(QLatin1Char('/'))));
    // A symbolic link inside www must not lead outside it either.
    if (root.isEmpty() || !info.isFile() || !info.canonicalFilePath().startsWith(root + QLatin1Char('/'))) {
        sendNotFound(std::move(responder));
        return;
    }
    QByteArray type = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).name().toLatin1();
    if (type.startsWith("text/"))
        type += "; charset=utf-8";
    sendFile(std::move(responder), info.filePath(), type);
}

QString StandInServer::fixture(const QString &relative) const
{
    return m_config.fixturesDir + QLatin1Char('/') + relative;
}

StandInServer::Modifiers StandInServer::readModifiers(const QString &base) const
{
    Modifiers mods;
    mods.never = QFileInfo::exists(base + QStringLiteral(".never"));
    mods.gbk = QFileInfo::exists(base + QStringLiteral(".gbk"));

    bool present = false;
    const QByteArray delay = readAll(base + QStringLiteral(".delay"), &present).trimmed();
    if (present) {
        bool ok = false;
        const int ms = delay.toInt(&ok);
        if (ok && ms >= 0)
            mods.delayMs = ms;
        else
            qWarning("parcelio-standin: ignoring %s.delay: not a number of milliseconds", qPrintable(base));
    }

    const QByteArray type = readAll(base + QStringLiteral(".type"), &present).trimmed();
    if (present)
        mods.contentType = oneLine(type);

    const QByteArray location = readAll(base + QStringLiteral(".location"), &present).trimmed();
    if (present)
        mods.location = oneLine(location);

    const QByteArray size = readAll(base + QStringLiteral(".stream"), &present).trimmed();
    if (present) {
        bool ok = false;
        const qint64 n = size.toLongLong(&ok);
        if (ok && n >= 0)
            mods.streamBytes = n;
        else
            qWarning("parcelio-standin: ignoring %s.stream: not a number of bytes", qPrintable(base));
    }

    const QByteArray status = readAll(base + QStringLiteral(".status"), &present).trimmed();
    if (present) {
        bool ok = false;
        const int code = status.toInt(&ok);
        // 1xx would leave the client waiting for a second status line.
        if (ok && code >= 200 && code <= 599)
            mods.status = Status(code);
        else
            qWarning("parcelio-standin: ignoring %s.status: not an HTTP status between 200 and 599",
                     qPrintable(base));
    }
    return mods;
}

void StandInServer::deliver(QHttpServerResponder &&responder, Reply reply, const Modifiers &mods)
{
    if (mods.status)
        reply.status = *mods.status;
    if (!mods.contentType.isEmpty())
        reply.contentType = mods.contentType;
    if (mods.streamBytes >= 0) {
        stream(std::move(responder), reply, mods.streamBytes);
        return;
    }

    if (mods.never) {
        // The connection to the socket's destroyed() signal owns the responder,
        // so the request stays open and unanswered until the client hangs up.
        auto parked = std::make_shared<QHttpServerResponder>(std::move(responder));
        QObject::connect(parked->socket(), &QObject::destroyed, [parked] {});
        return;
    }

    if (mods.delayMs > 0) {
        // The socket is the timer's context: if the client hangs up first the
        // answer is dropped instead of being written to a deleted socket.
        // Precise, because a coarse timer may fire 5% early and tests time this.
        auto held = std::make_shared<QHttpServerResponder>(std::move(responder));
        QTimer::singleShot(mods.delayMs, Qt::PreciseTimer, held->socket(),
                           [this, held, reply, location = mods.location] {
                               send(std::move(*held), reply, std::nullopt, location);
                           });
        return;
    }

    send(std::move(responder), reply, std::nullopt, mods.location);
}

void StandInServer::send(QHttpServerResponder &&responder, const Reply &reply,
                         const std::optional<QByteArray> &date, const QByteArray &location) const
{
    QHttpServerResponse response(reply.contentType, reply.body, reply.status);
    const QByteArray when = date.value_or(this->date());
    if (!when.isEmpty())
        response.setHeader(QByteArrayLiteral("Date"), when);
    if (!location.isEmpty())
        response.setHeader(QByteArrayLiteral("Location"), location);
    response.write(std::move(responder));
}

// Written on the socket itself, a piece at a time as the client takes it,
// so that a client that reads without a limit is seen doing so; the
// connection closes after the last byte, or when the client hangs up.
void StandInServer::stream(QHttpServerResponder &&responder, const Reply &reply, qint64 bytes) const
{
    auto parked = std::make_shared<QHttpServerResponder>(std::move(responder));
    QTcpSocket *socket = parked->socket();
    socket->write("HTTP/1.1 " + QByteArray::number(int(reply.status)) + " Stand-in\r\nContent-Type: " +
                  reply.contentType + "\r\nDate: " + date() + "\r\nConnection: close\r\n\r\n");
    auto left = std::make_shared<qint64>(bytes);
    auto more = [socket, left] {
        constexpr qint64 Piece = 64 * 1024;
        if (socket->bytesToWrite() > Piece)
            return;
        if (*left <= 0) {
            socket->disconnectFromHost();
            return;
        }
        const qint64 n = qMin(Piece, *left);
        *left -= n;
        socket->write(QByteArray(n, 'x'));
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
    QObject::connect(socket, &QObject::destroyed, [parked] {});
    more();
}

void StandInServer::sendFile(QHttpServerResponder &&responder, const QString &path,
                             const QByteArray &contentType) const
{
    bool found = false;
    const QByteArray body = readAll(path, &found);
    if (found)
        send(std::move(responder), {Status::Ok, contentType, body});
    else
        sendNotFound(std::move(responder));
}

void StandInServer::sendNotFound(QHttpServerResponder &&responder) const
{
    send(std::move(responder),
         {Status::NotFound, kHtmlUtf8, "<html><body><h1>404 Not Found</h1></body></html>"});
}

void StandInServer::log(const QHttpServerRequest &request)
{
    if (!m_log.isOpen())
        return;
    QByteArray line = methodName(request.method()) + '\t' +
                      request.url().toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    const auto headers = request.headers();
    for (const auto &[name, value] : headers)
        line += '\t' + name + ": " + oneLine(value);
    if (!request.body().isEmpty())
        line += "\tbody: " + oneLine(request.body());
    line += '\n';
    m_log.write(line);
    m_log.flush();
}

QByteArray StandInServer::date() const
{
    return m_config.fixedDate.isEmpty() ? httpDate(QDateTime::currentDateTimeUtc()) : m_config.fixedDate;
}
