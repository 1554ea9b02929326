#include "watch/NewsTeller.h"

#include "watch/RoundTexts.h"

#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <memory>
#include <optional>

NewsTeller::NewsTeller(NewsServices services_, QObject *parent) : QObject(parent), services(std::move(services_))
{
}

NewsTeller::~NewsTeller()
{
    queue.clear();
    if (worker) {
        disconnect(worker, nullptr, this, nullptr);
        worker->wait();
        delete worker;
    }
}

bool NewsTeller::mailsOn() const
{
    return switches && switches().mails();
}

void NewsTeller::chime()
{
    if (switches && switches().sound && services.sound)
        services.sound->play(services.soundFile);
}

void NewsTeller::tell(const QList<NewsItem> &items, const std::function<void(const QString &)> &mailFailed)
{
    if (items.isEmpty())
        return;
    chime();
    for (const NewsItem &item : items) {
        const NewsSwitches now = switches ? switches() : NewsSwitches{};
        if (now.mails() && item.mail)
            mail(item.mail(now.address), [mailFailed](const QString &error) {
                if (!error.isEmpty() && mailFailed)
                    mailFailed(error);
            });
        if (item.notify && now.notifications && services.notifier)
            services.notifier->notify(item.summary, item.body, item.id, item.actions);
    }
}

NewsItem NewsTeller::newsItem(qint64 id, const QString &goods, const QString &newest) const
{
    return NewsItem{id, newsNoticeSummary(),
                    goods + (stageNote ? stageNote(id) : QString()) + QLatin1Char('\n') + newest,
                    actionsOf ? actionsOf(id) : QList<NotifyAction>{}, true, {}};
}

void NewsTeller::notifyNews(qint64 id, const QString &goods, const QString &newest)
{
    const NewsItem item = newsItem(id, goods, newest);
    const NewsSwitches now = switches ? switches() : NewsSwitches{};
    if (now.notifications && services.notifier)
        services.notifier->notify(item.summary, item.body, item.id, item.actions);
}

void NewsTeller::mail(const OutgoingMail &m, std::function<void(const QString &)> done)
{
    queue.append({m, std::move(done)});
    if (!worker)
        next();
}

std::optional<QString> NewsTeller::mailAndWait(const OutgoingMail &m)
{
    // Shared with the mail's callback, which comes after this returns when
    // the wait is cut short.
    struct Waiting {
        std::optional<QString> error;
        QPointer<QEventLoop> loop;
    };
    const auto waiting = std::make_shared<Waiting>();
    QEventLoop wait;
    waiting->loop = &wait;
    mail(m, [waiting](const QString &error) {
        waiting->error = error;
        if (waiting->loop)
            waiting->loop->quit();
    });
    if (!waiting->error.has_value())
        wait.exec();
    waiting->loop = nullptr;
    return waiting->error;
}

void NewsTeller::waitForMails()
{
    while (mailing()) {
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

void NewsTeller::next()
{
    while (!queue.isEmpty()) {
        Pending p = queue.takeFirst();
        // A line break in a header would let the text add recipients.
        const QString refused = refusedHeaders(p.mail);
        if (!refused.isEmpty()) {
            if (p.done)
                p.done(refused);
            if (worker) // done queued another, and it is under way
                return;
            continue;
        }
        auto error = std::make_shared<QString>();
        worker = QThread::create([send = services.send, m = p.mail, limit = mailLimitMs, error] {
            *error = send(m, limit);
        });
        connect(worker, &QThread::finished, this, [this, error, done = std::move(p.done)] {
            worker->wait();
            delete worker;
            worker = nullptr;
            if (done)
                done(*error);
            if (!worker)
                next();
        });
        worker->start();
        return;
    }
}
