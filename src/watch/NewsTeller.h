#pragma once
// How news and reminders are told, for the window's own query, the book
// watch and the refresh command alike: a sound when the sound switch is on,
// a mail when mail is on with an address, a desktop notification. Mails go
// out one after another from one queue, each on a worker thread, so that no
// caller waits for the relay unless it asks to.
#include "platform/Platform.h"
#include "watch/Mail.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QThread;

// The switches as the settings have them when the news is told.
struct NewsSwitches {
    bool sound = false;
    bool mail = false;
    QString address; // mail goes only with one
    bool notifications = true;
    bool mails() const { return mail && !address.isEmpty(); }
};

// What tells: each may be missing, and then that part is left out.
struct NewsServices {
    SoundPlayer *sound = nullptr;
    QString soundFile;
    Notifier *notifier = nullptr;
    // Sends and waits at most limitMs (run on the worker): empty, or why not.
    std::function<QString(const OutgoingMail &, int limitMs)> send = sendMail;
};

// One piece of news or one reminder, ready to be told.
struct NewsItem {
    qint64 id = 0;
    QString summary, body; // the notification
    QList<NotifyAction> actions;
    bool notify = true;
    // Its mail to the address; made only when mail is on. None: no mail.
    std::function<OutgoingMail(const QString &recipient)> mail;
};

class NewsTeller : public QObject {
    Q_OBJECT
public:
    explicit NewsTeller(NewsServices services, QObject *parent = nullptr);
    // A mail half-way to the relay is let finish; queued ones are dropped.
    ~NewsTeller() override;

    // Read each time news is told: the switches may change at any moment.
    std::function<NewsSwitches()> switches;
    // A mail the relay has not taken after this long counts as failed;
    // tests shorten it.
    int mailLimitMs = 60000;
    // At exit, mails on their way are let finish for at most this long.
    int exitMailLimitMs = 10000;

    bool mailsOn() const;
    // The rule: one sound for all the items (sound on), then for each its
    // mail (mail on with an address) and its notification. A mail that
    // fails calls mailFailed with why, when it is known.
    void tell(const QList<NewsItem> &items, const std::function<void(const QString &)> &mailFailed = {});
    // News of a parcel as the window tells it: the notification names the
    // goods with stageNote of the parcel, then the newest event, and carries
    // the parcel's actions; no mail until one is given.
    NewsItem newsItem(qint64 id, const QString &goods, const QString &newest) const;
    // Its notification alone (news a command handed to the window).
    void notifyNews(qint64 id, const QString &goods, const QString &newest);
    std::function<QString(qint64 id)> stageNote;
    std::function<QList<NotifyAction>(qint64 id)> actionsOf;

    // A mail in the queue; done gets the error, empty on success.
    void mail(const OutgoingMail &mail, std::function<void(const QString &)> done = {});
    // The same, waited for in a nested event loop (the caller's events run):
    // the error, empty on success. None when the wait was cut short (the
    // program quitting ends every event loop): the mail stays in the queue,
    // which the exit waits for.
    std::optional<QString> mailAndWait(const OutgoingMail &mail);
    // Mails queued or on their way.
    bool mailing() const { return worker || !queue.isEmpty(); }
    // Runs the event loop until every queued mail is done.
    void waitForMails();

private:
    void chime();
    void next();

    NewsServices services;
    struct Pending {
        OutgoingMail mail;
        std::function<void(const QString &)> done;
    };
    QList<Pending> queue;
    QThread *worker = nullptr;
};
