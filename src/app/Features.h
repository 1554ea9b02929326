#pragma once
// The features that the window's own panels do not have (the book watch's
// panel, the pickup line, the archive, the tray, the news teller): each is a
// class of its own, made here when first used. One feature asks another
// through these accessors and the feature's interface, never through its
// widgets.
#include <memory>

class Form1;
class BookWatchPanel;
class NewsTeller;
class QueryFallback;

class Features {
public:
    explicit Features(Form1 &window);
    ~Features();
    Features(const Features &) = delete;
    Features &operator=(const Features &) = delete;

    // How news and reminders are told, with the settings panel's switches.
    NewsTeller &newsTeller();
    // The book watch's controls, timer and rounds.
    BookWatchPanel &bookWatchPanel();
    // The kept progress behind the user's own query.
    QueryFallback &queryFallback();

private:
    Form1 &window;
    // Declared first, gone last: the others may still hand it mail.
    std::unique_ptr<NewsTeller> news;
    std::unique_ptr<QueryFallback> fallback;
    std::unique_ptr<BookWatchPanel> bookWatch;
};
