#include "book/ExportText.h"

#include <QStringEncoder>

namespace {
const QString Separator = QStringLiteral("   ");
} // namespace

QByteArray exportBytes(const QString &text)
{
    // Stateless, so one encoder serves every call.
    static QStringEncoder encoder("GB18030", QStringConverter::Flag::Stateless);
    return encoder.encode(text);
}

QString SetStringFixedLength(const QString &text, int width)
{
    // Only blanks are cut, as the list's cells never hold other spacing
    // that should go.
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    QString out = text.mid(begin, end - begin);
    if (out.isEmpty() || width <= 0)
        return out;
    const qsizetype bytes = exportBytes(out).size();
    if (bytes < width)
        out += QString(width - bytes, QLatin1Char(' '));
    return out;
}

QString exportLine(const QStringList &cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += Separator;
        line += i == 0 ? SetStringFixedLength(cells.at(0), 8) : cells.at(i);
    }
    return line + QStringLiteral("\r\n");
}
