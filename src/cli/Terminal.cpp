#include "cli/Terminal.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace cli {
// Text from a reply, the book or the user, made fit for one field of a
// terminal line: control characters (an escape sequence would rewrite the
// terminal, a line break or tab would forge lines and columns) become blanks;
// the marks that turn text right to left (which would show a number or a
// time reversed) are dropped.
QString plain(QString text)
{
    const auto bidi = [](QChar ch) {
        const char16_t u = ch.unicode();
        return u == 0x061C || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E) ||
               (u >= 0x2066 && u <= 0x2069);
    };
    text.removeIf(bidi);
    for (QChar &ch : text) {
        const QChar::Category k = ch.category();
        if (k == QChar::Other_Control || k == QChar::Separator_Line || k == QChar::Separator_Paragraph)
            ch = QLatin1Char(' ');
    }
    return text;
}

void out(const QString &text)
{
    outUtf8(text.toUtf8());
}

void outUtf8(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int fail(const Failed &f)
{
    std::fflush(stdout);
    std::fputs(("parcelio: " + plain(f.why).toUtf8() + '\n').constData(), stderr);
    return f.status;
}

void printJson(const QJsonValue &v)
{
    const QJsonDocument doc = v.isArray() ? QJsonDocument(v.toArray()) : QJsonDocument(v.toObject());
    out(QString::fromUtf8(doc.toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

// The text of a command: its words, or standard input for "-".
QString textArgument(const QStringList &args)
{
    if (args == QStringList{QStringLiteral("-")}) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(in.readAll());
    }
    return args.join(QLatin1Char(' '));
}
} // namespace cli
