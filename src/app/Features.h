#pragma once
// The features that the window's own panels do not have (the book watch's
// panel, the pickup line, the archive, the tray, pasted tracking numbers,
// phone digits, the news teller): each is a class of its own, made here when
// first used. One feature asks another through these accessors and the
// feature's interface, never through its widgets.
#include <memory>

class Archive;
class BookWatchPanel;
class Desktop;
class Form1;
class NewsTeller;
class PastedNumbers;
class PhoneDigits;
class PickupLine;
class QueryFallback;

class Features {
public:
    explicit Features(Form1 &window);
    ~Features();
    Features(const Features &) = delete;
    Features &operator=(const Features &) = delete;

    // How news and reminders are told, with the settings panel's switches.
    NewsTeller &newsTeller();           // watch/NewsTeller.h
    // The book watch's controls, timer and rounds.
    BookWatchPanel &bookWatchPanel();   // watch/BookWatchPanel.h
    // The kept progress behind the user's own query.
    QueryFallback &queryFallback();     // watch/QueryFallback.h
    PickupLine &pickupLine();           // book/PickupLine.h
    Archive &archive();                 // book/Archive.h
    Desktop &desktop();                 // app/Desktop.h
    PastedNumbers &pastedNumbers();     // book/PastedNumbers.h
    PhoneDigits &phoneDigits();         // tracking/PhoneDigits.h

private:
    Form1 &window;
    // Declared first, gone last: the others may still hand it mail.
    std::unique_ptr<NewsTeller> news;
    std::unique_ptr<QueryFallback> fallback;
    std::unique_ptr<BookWatchPanel> bookWatch;
    std::unique_ptr<PickupLine> pickupLine_;
    std::unique_ptr<Archive> archive_;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<PastedNumbers> pastedNumbers_;
    std::unique_ptr<PhoneDigits> phoneDigits_;
};
