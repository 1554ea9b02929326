#include "net/Answers.h"

#include <QLocale>

namespace {
bool looksLikeHtml(const HttpReply &reply)
{
    QString start = reply.body.left(256).trimmed();
    if (start.startsWith(QChar(0xFEFF)))
        start = start.mid(1).trimmed();
    if (start.startsWith(QLatin1String("<!doctype html"), Qt::CaseInsensitive) ||
        start.startsWith(QLatin1String("<html"), Qt::CaseInsensitive))
        return true;
    // A plain text that a server merely labels as HTML still counts as text.
    const QByteArray type = reply.contentType.split(';').value(0).trimmed().toLower();
    const bool labelled = type == "text/html" || type == "application/xhtml+xml";
    return labelled && reply.body.contains(QLatin1Char('<'));
}
} // namespace

QString answerText(const HttpReply &reply)
{
    if (reply.status < 200 || reply.status > 299 || looksLikeHtml(reply))
        return QString();
    return reply.body;
}

QDateTime chinaTimeOf(const QByteArray &dateHeader)
{
    // The form every HTTP server sends: "Tue, 08 Dec 2026 05:50:38 GMT". The
    // C locale reads the English names whatever the user's language is.
    const QDateTime at = QLocale::c().toDateTime(QString::fromLatin1(dateHeader).trimmed(),
                                                 QStringLiteral("ddd, dd MMM yyyy hh:mm:ss t"));
    if (!at.isValid())
        return QDateTime();
    // Eight hours east of Greenwich, not of this computer's own zone.
    return at.toOffsetFromUtc(8 * 3600);
}
