#include "support/Doubles.h"

#include <QDate>
#include <QTime>

MessageBox::Answer FakeMessageBox::show(QWidget *, const QString &text, const QString &title, Icon icon,
                                        Buttons buttons)
{
    shown << ShownBox{text, title, icon, buttons};
    if (onShow)
        onShow(text);
    if (buttons == Ok)
        return AnswerOk;
    return answers.isEmpty() ? AnswerNo : answers.takeFirst();
}

QStringList FakeMessageBox::texts() const
{
    QStringList out;
    for (const auto &b : shown)
        out << b.text;
    return out;
}

SystemClock::Result FakeSystemClock::setLocal(const QDate &date, const QTime &time)
{
    sets << date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char(' ') +
                time.toString(QStringLiteral("hh:mm:ss"));
    return answer;
}
