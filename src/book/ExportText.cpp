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

namespace {
// One cell as one field of one line: a line break inside it would forge a
// row of its own, so it becomes a blank; NUL and the other control
// characters but the tab carry nothing a reader wants, and are left out.
QString fieldText(const QString &cell)
{
    QString out;
    out.reserve(cell.size());
    for (const QChar ch : cell) {
        const ushort u = ch.unicode();
        if (u == '\n' || u == '\r' || u == '\v' || u == '\f' || u == 0x85 ||
            ch.category() == QChar::Separator_Line || ch.category() == QChar::Separator_Paragraph)
            out += QLatin1Char(' ');
        else if (u == '\t' || ch.category() != QChar::Other_Control)
            out += ch;
    }
    return out;
}
} // namespace

QString exportLine(const QStringList &cells)
{
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += Separator;
        const QString cell = fieldText(cells.at(i));
        line += i == 0 ? SetStringFixedLength(cell, 8) : cell;
    }
    return line + QStringLiteral("\r\n");
}
