#include "app/Features.h"

#include "app/Desktop.h"
#include "app/Form1.h"
#include "book/Archive.h"
#include "book/PastedNumbers.h"
#include "book/PickupLine.h"
#include "tracking/PhoneDigits.h"
#include "watch/BookWatchPanel.h"
#include "watch/NewsTeller.h"
#include "watch/QueryFallback.h"

namespace {
template <typename T>
T &madeOnFirstUse(std::unique_ptr<T> &feature, Form1 &window)
{
    if (!feature)
        feature = std::make_unique<T>(window);
    return *feature;
}
} // namespace

Features::Features(Form1 &window_) : window(window_) {}

Features::~Features() = default;

PickupLine &Features::pickupLine()
{
    return madeOnFirstUse(pickupLine_, window);
}

Archive &Features::archive()
{
    return madeOnFirstUse(archive_, window);
}

Desktop &Features::desktop()
{
    return madeOnFirstUse(desktop_, window);
}

PastedNumbers &Features::pastedNumbers()
{
    return madeOnFirstUse(pastedNumbers_, window);
}

PhoneDigits &Features::phoneDigits()
{
    return madeOnFirstUse(phoneDigits_, window);
}

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
        news->stageNote = [this](qint64 id) { return pickupLine().stageNote(id); };
        news->actionsOf = [this](qint64 id) { return desktop().newsActions(id); };
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
