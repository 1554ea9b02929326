#include "app/Features.h"

#include "app/Form1.h"
#include "watch/BookWatchPanel.h"
#include "watch/NewsTeller.h"
#include "watch/QueryFallback.h"

Features::Features(Form1 &window_) : window(window_) {}

Features::~Features() = default;

NewsTeller &Features::newsTeller()
{
    if (!news) {
        Form1 *w = &window;
        news = std::make_unique<NewsTeller>(NewsServices{w->platform.sound,
                                                         w->resourceDir + QStringLiteral("/ts.mp3"),
                                                         w->platform.notifier});
        // The switches as the settings panel shows them now: the panel stores
        // each one as it is set, the address when the panel closes.
        news->switches = [w] {
            return NewsSwitches{w->Check3->isChecked(), w->Check2->isChecked(), w->Sendmail->text(), true};
        };
        news->stageNote = [w](qint64 id) { return w->stageNote(id); };
        news->actionsOf = [w](qint64 id) { return w->newsActions(id); };
    }
    return *news;
}

BookWatchPanel &Features::bookWatchPanel()
{
    if (!bookWatch)
        bookWatch = std::make_unique<BookWatchPanel>(window, window.platform.notifier);
    return *bookWatch;
}

QueryFallback &Features::queryFallback()
{
    if (!fallback)
        fallback = std::make_unique<QueryFallback>(window);
    return *fallback;
}
