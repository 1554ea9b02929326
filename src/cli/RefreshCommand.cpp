#include "app/Locations.h"
#include "app/Tr.h"
#include "cli/CommandContext.h"
#include "cli/Commands.h"
#include "cli/Format.h"
#include "platform/Notifications.h"
#include "store/SettingValues.h"
#include "watch/BookWatch.h"
#include "watch/NewsTeller.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <cstdio>

std::function<bool(const QString &, const QStringList &)> tellDesktop;

// refresh: one round of the book watch, its news and reminders printed and
// told.
namespace cli {
namespace {
// As long as the window lets a news mail take.
constexpr int MailLimitMs = 60000;

// How refresh tells a round's news and reminders, by the window's rule but
// without sound: a desktop notification each, and a mail each when the
// settings turn mail on. Gathered while the round runs, told once it has
// ended.
class RoundTeller {
public:
    explicit RoundTeller(Context &c) : c(c), teller({nullptr, QString(), &notifier})
    {
        const std::optional<SettingsRecord> settings = c.store->settings();
        const NewsSwitches switches{false, settings && switchIsOn(settings->mail),
                                    settings ? settings->address : QString(), true};
        teller.switches = [switches] { return switches; };
        teller.mailLimitMs = MailLimitMs;
    }

    void news(const BookWatchNews &n)
    {
        told.append({n.progress.id, newsNoticeSummary(), roundNewsNotice(n), {}, true,
                     [this, n, sent = QDateTime::currentDateTime()](const QString &to) {
                         return roundNewsMail(c.cfg, to, n, sent);
                     }});
    }

    // Reminders are always told from here, since the told keys are
    // recorded already.
    void remind(const Reminder &r)
    {
        reminded.append({r.id, reminderSummary(), reminderNotice(r), {}, true,
                         [this, r, sent = QDateTime::currentDateTime()](const QString &to) {
                             return reminderMail(c.cfg, to, r, sent);
                         }});
    }

    void tell()
    {
        // A window running on the same book tells the news itself, with its
        // actions; without one, plain notifications from here.
        QStringList ids;
        for (const NewsItem &n : told)
            ids << QString::number(n.id);
        if (!told.isEmpty() && tellDesktop && tellDesktop(findLocations(programDir()).dataDir, ids))
            for (NewsItem &n : told)
                n.notify = false;
        const auto mailFailed = [](const QString &error) {
            std::fputs(("parcelio: " + Parcelio::tr("最新信息发送失败!错误原因").toUtf8() + error.toUtf8() + '\n')
                           .constData(),
                       stderr);
        };
        teller.tell(told, mailFailed);
        teller.tell(reminded, mailFailed);
        teller.waitForMails();
        // The notifications are asked for asynchronously: their answers are
        // waited for, so that leaving does not cut them off.
        notifier.waitForAnswers(5000);
    }

private:
    Context &c;
    DesktopNotifications notifier;
    NewsTeller teller;
    QList<NewsItem> told;
    QList<NewsItem> reminded;
};
} // namespace

int refresh(Context &c)
{
    if (!c.parser.positionalArguments().isEmpty())
        return fail({CommandStatus::Usage, Parcelio::tr("refresh 不接受参数")});
    c.store->autoArchive(QDateTime::currentDateTime());
    BookWatch watch(*c.store, c.cfg, [] { return QDateTime::currentDateTime(); });
    watch.limitMs = c.limitMs;
    RoundTeller teller(c);
    QJsonArray news;
    QEventLoop wait;
    QObject::connect(&watch, &BookWatch::news, &wait, [&](const BookWatchNews &n) {
        teller.news(n);
        const KeptEvent &e = n.progress.events.first();
        if (c.json) {
            QJsonObject o{{QStringLiteral("id"), n.parcel.id},
                          {QStringLiteral("number"), n.parcel.number},
                          {QStringLiteral("goods"), n.parcel.goods},
                          {QStringLiteral("company"), n.parcel.company},
                          {QStringLiteral("count"), n.progress.events.size()},
                          {QStringLiteral("state"), stateWords(n.progress.status)},
                          {QStringLiteral("status"), statusCode(n.progress.status)},
                          {QStringLiteral("newest"), eventsJson({e}).first()}};
            news.append(o);
        } else {
            out(Parcelio::tr("快递有最新进展 [%1] %2 %3 %4\t%5 %6\n")
                    .arg(n.parcel.id)
                    .arg(plain(n.parcel.company), plain(n.parcel.number),
                         plain(n.parcel.goods) + noticeStatusNote(n.progress.status), plain(e.time),
                         plain(e.context)));
            std::fflush(stdout);
        }
    });
    QJsonArray remindersJson;
    QObject::connect(&watch, &BookWatch::reminders, &wait, [&](const QList<Reminder> &due) {
        for (const Reminder &r : due) {
            teller.remind(r);
            if (c.json) {
                static const char *const kinds[] = {"station", "problem", "quiet"};
                remindersJson.append(QJsonObject{{QStringLiteral("id"), r.id},
                                                 {QStringLiteral("number"), r.number},
                                                 {QStringLiteral("goods"), r.goods},
                                                 {QStringLiteral("kind"), QString::fromLatin1(kinds[r.kind])},
                                                 {QStringLiteral("days"), r.days},
                                                 {QStringLiteral("newest"), eventsJson({r.newest}).first()}});
            } else {
                out(Parcelio::tr("快递提醒 [%1] %2 %3\t%4\n")
                        .arg(r.id)
                        .arg(plain(r.company), plain(r.number), plain(reminderText(r))));
            }
        }
        std::fflush(stdout);
    });
    QObject::connect(&watch, &BookWatch::roundFinished, &wait, &QEventLoop::quit);
    if (!watch.startRound())
        return fail(databaseFailed(*c.store));
    wait.exec();
    teller.tell();
    const RoundSummary &s = watch.lastRound();
    QJsonArray failures;
    for (const RoundSummary::Failure &f : s.failures) {
        if (c.json)
            failures.append(QJsonObject{{QStringLiteral("id"), f.id},
                                        {QStringLiteral("number"), f.number},
                                        {QStringLiteral("why"), f.why}});
        else
            out(Parcelio::tr("查询失败 [%1] %2\t%3\n").arg(f.id).arg(plain(f.number), plain(f.why)));
    }
    if (c.json)
        printJson(QJsonObject{{QStringLiteral("asked"), s.asked},
                              {QStringLiteral("failures"), failures},
                              {QStringLiteral("failed"), s.failed},
                              {QStringLiteral("rested"), s.rested},
                              {QStringLiteral("held"), s.held},
                              {QStringLiteral("held_until"),
                               s.heldUntil.isValid()
                                   ? QJsonValue(s.heldUntil.toLocalTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")))
                                   : QJsonValue()},
                              {QStringLiteral("news"), news},
                              {QStringLiteral("reminders"), remindersJson}});
    else
        out(roundText(s) + QLatin1Char('\n'));
    if (s.news > 0)
        return CommandStatus::Ok;
    if (s.failed > 0)
        return fail({CommandStatus::ServiceFailed, Parcelio::tr("%1 个快递查询失败").arg(s.failed)});
    // Nothing asked: not "no news", which says every answer was read.
    if (s.asked == 0)
        return CommandStatus::NothingDue;
    return CommandStatus::NoNews;
}
} // namespace cli
