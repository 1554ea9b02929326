#pragma once
// The features that the window's own panels do not have (the book watch's
// panel, the pickup line, the archive, the tray, pasted tracking numbers,
// phone digits, the news teller): each is a class of its own, made here when first used.
// One feature asks another through these accessors and the feature's
// interface, never through its widgets.
#include <memory>

class Archive;
class Desktop;
class Form1;
class PastedNumbers;
class PhoneDigits;
class PickupLine;

class Features {
public:
    explicit Features(Form1 &window);
    ~Features();
    Features(const Features &) = delete;
    Features &operator=(const Features &) = delete;

    PickupLine &pickupLine();       // book/PickupLine.h
    Archive &archive();             // book/Archive.h
    Desktop &desktop();             // app/Desktop.h
    PastedNumbers &pastedNumbers(); // book/PastedNumbers.h
    PhoneDigits &phoneDigits();     // tracking/PhoneDigits.h

private:
    Form1 &window;
    std::unique_ptr<PickupLine> pickupLine_;
    std::unique_ptr<Archive> archive_;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<PastedNumbers> pastedNumbers_;
    std::unique_ptr<PhoneDigits> phoneDigits_;
};
