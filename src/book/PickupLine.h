#pragma once
// The station line under the summary: where the shown parcel waits, its
// phone and its pickup code, with buttons to copy them, to mark the parcel
// picked up and to paste a pickup message.
#include <QObject>
#include <QString>

class Form1;
class Label;
class QPushButton;

class PickupLine : public QObject {
public:
    // Makes the line and its buttons, hidden until a parcel is shown.
    explicit PickupLine(Form1 &window);

    // The line of the shown parcel as the book keeps it now.
    void show();
    // Finds the code and the parcel in a pasted message and keeps the code
    // (book/PickupMessage.cpp).
    void pasteMessage(const QString &text);
    // " (待取件)" or " (异常)" after a parcel's name in a notification of
    // news, where the stage asks something of the user; else empty.
    QString stageNote(qint64 id) const;

private:
    // The shown parcel is in hand (book/Archive.cpp).
    void markPickedUp();

    Form1 &window;
    Label *stationLine = nullptr;
    QPushButton *copyPhoneButton = nullptr, *copyCodeButton = nullptr, *pickedButton = nullptr,
                *pasteSmsButton = nullptr;
    struct ShownPickup {
        QString station, phone, code;
    } shownPickup;
};
