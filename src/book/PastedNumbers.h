#pragma once
// Tracking numbers pasted into the add panel's number box.
#include <QList>
#include <QObject>
#include <QStringList>

class Form1;
struct PastedNumber;

class PastedNumbers : public QObject {
public:
    explicit PastedNumbers(Form1 &window);

    // One unsaved number goes into the box, the words beside it into the
    // goods when empty; several are offered for adding at once. False when
    // the text holds none.
    bool take(const QString &text);

private:
    // Recognises each number, lists them in a Yes/No box and adds them on
    // Yes; saved are the pasted numbers already in the book.
    void add(const QList<PastedNumber> &found, const QStringList &saved);

    Form1 &window;
};
