#pragma once
// The book watch in the window: its controls in the settings panel, its
// timer, and what its rounds bring (the news and reminders told through the
// news teller, the list's marks, the round's line).
#include <QObject>
#include <QList>

class Form1;
class BookWatch;
class Label;
class Notifier;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QTimer;
struct BookWatchNews;
struct Reminder;

class BookWatchPanel : public QObject {
    Q_OBJECT
public:
    // Places the controls in the settings panel, which must exist.
    BookWatchPanel(Form1 &window, Notifier *notifier);
    ~BookWatchPanel() override;

    QGroupBox *bookWatchFrame = nullptr;     // in the settings panel
    QCheckBox *bookWatchBox = nullptr;       // refresh every parcel under way by itself
    QComboBox *bookWatchInterval = nullptr;  // how often
    QPushButton *bookWatchNowButton = nullptr; // one round now
    Label *bookWatchStatus = nullptr;        // how the last round went
    QTimer *bookWatchTimer = nullptr;        // the interval

    // After the settings are loaded: the switch and the interval restored,
    // the list's marks read.
    void start();
    // A round now, as the button starts it; said on the status line.
    void roundNow();
    // Nothing started any more (the program is ending).
    void stop();
    // News of a round is still being stored.
    bool telling() const;
    // Made for the first round: a window whose book is not watched starts
    // without the service and its client.
    BookWatch *watch();

private:
    void switchClicked();
    void intervalChanged();
    void tellNews(const BookWatchNews &news);
    // The reminders due after a round, told through the same switches.
    void tellReminders(const QList<Reminder> &due);
    void mailFailed(const QString &error);
    // A desktop notification was chosen: the window comes up with that parcel.
    void chooseNotifiedParcel(qint64 id);

    Form1 &window;
    Notifier *notifier;
    BookWatch *bookWatch = nullptr;
    bool started = false;
};
