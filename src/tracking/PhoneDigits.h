#pragma once
// The last four digits of a phone number that some couriers' tracking asks
// beside the number: a box in the add panel, one in the edit panel, and the
// digits of the parcel shown.
#include <QObject>
#include <QString>

class Form1;
class QLineEdit;

class PhoneDigits : public QObject {
public:
    explicit PhoneDigits(Form1 &window);

    // The add panel's row under its tip and the edit panel's under its
    // buttons, each made while its panel is.
    void buildAddRow();
    void buildEditRow();
    // What the user typed in either box, trimmed.
    QString typedToAdd() const;
    QString typedToEdit() const;
    // The add panel's box: emptied for a new parcel, given the focus, or
    // given back digits to correct (selected, with the focus).
    void clearToAdd();
    void focusToAdd();
    void correctToAdd(const QString &digits);
    // The edit panel's box shows the digits of the parcel shown.
    void offerToEdit();

    // The digits of the parcel shown (asked with its number), empty for none.
    const QString &shown() const { return shownDigits; }
    void setShown(const QString &digits) { shownDigits = digits; }

private:
    Form1 &window;
    QLineEdit *addPhoneDigitsBox = nullptr;
    QLineEdit *editPhoneDigitsBox = nullptr;
    QString shownDigits;
};
