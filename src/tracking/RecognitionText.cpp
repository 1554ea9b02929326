#include "tracking/RecognitionText.h"

#include <QUrl>

namespace {
const QString Marker = QStringLiteral("comCode\":\"");
} // namespace

QString recognitionUrl(const QString &host, const QString &number)
{
    return QStringLiteral("http://") + host + QStringLiteral("/autonumber/auto?num=") +
           QString::fromLatin1(QUrl::toPercentEncoding(number));
}

std::optional<QString> recognitionTailOf(const QString &reply)
{
    const qsizetype first = reply.indexOf(Marker);
    if (first < 0)
        return std::nullopt;
    const qsizetype start = first + Marker.size();
    const qsizetype second = reply.indexOf(Marker, start);
    return second < 0 ? reply.mid(start) : reply.mid(start, second - start);
}

QString recognizedCodeOf(const QString &tail)
{
    const qsizetype quote = tail.indexOf(QLatin1Char('"'));
    return quote < 0 ? QString() : tail.left(quote);
}
