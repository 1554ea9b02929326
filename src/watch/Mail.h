#pragma once
// The e-mail about a parcel's news: building the message (no window needed)
// and handing it to the SMTP relay through libcurl.
#include <QDateTime>
#include <QList>
#include <QString>

struct Config;

// What the news mail tells, as plain text; the body escapes it.
struct NewsFacts {
    QString goods, number, eventTime, eventText, transit, company;
    QString noticeUrl, noticeCaption, sent;
};

// How the relay's STARTTLS is used.
enum class MailTls { Try, Required, Off };
// The [mail] tls setting: "try", "required" or "off". Anything else counts
// as required, so that a mistyped value never sends the password in clear.
MailTls mailTlsOf(const QString &setting);
// What the configuration asks for: its [mail] tls, and without one
// "required" whenever a password is set (it must never go out in clear),
// "try" otherwise.
MailTls mailTlsFor(const Config &cfg);

struct OutgoingMail {
    QString relay; // host[:port], or a full smtp:// address
    QString user, password;
    QString sender; // envelope sender and the mailbox in From
    QString recipient;
    QString subject;
    QString html;
    QDateTime date;
    MailTls tls = MailTls::Try;
};

// The send time as the mail tells it: the short local date, then H:mm:ss.
QString generalDateTime(const QDateTime &t);
QString newsSubject(const QString &goods);
QString newsBody(const NewsFacts &facts, const Config &cfg);
// The news mail to recipient, from the [mail] account, sent at sent.
OutgoingMail newsMail(const Config &cfg, const QString &recipient, const NewsFacts &facts,
                      const QDateTime &sent);
// Escapes for HTML text and for attributes in either kind of quotes.
QString htmlEscaped(const QString &text);
// The address when it is an http or https one, otherwise empty.
QString webLinkOnly(const QString &url);
// A header value as RFC 2047 encoded words when it holds more than ASCII.
QByteArray encodedWords(const QString &text);
// Why the mail must not go out (a line break in a header), or empty.
QString refusedHeaders(const OutgoingMail &mail);
// What the mail module hands to libcurl: the message, ready to send.
struct MailTransfer {
    QByteArray url, from, user, password, recipient, html;
    QList<QByteArray> headerLines;
    MailTls tls = MailTls::Try;
};

// Sends and waits for the relay, at most limitMs. Empty on success,
// otherwise the error text. Blocks: run it off the window thread.
QString sendMail(const OutgoingMail &mail, int limitMs);
