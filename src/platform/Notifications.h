#pragma once
// Desktop notifications through org.freedesktop.Notifications on the
// session bus. No bus or no service: nothing is shown, nothing fails.
#include "platform/Platform.h"
#include <QHash>
#include <QObject>
#include <QStringList>

class DesktopNotifications : public QObject, public Notifier {
    Q_OBJECT
public:
    void notify(const QString &summary, const QString &body, qint64 tag,
                const QList<NotifyAction> &actions) override;
    // Runs the event loop until every notification asked for is answered,
    // at most limitMs: a program about to leave must not cut them off.
    void waitForAnswers(int limitMs);

private slots:
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    struct Waiting {
        QString summary, body;
        qint64 tag;
        QStringList actions;
    };
    void send(const Waiting &n);

    bool connected = false;
    int unanswered = 0;
    QHash<uint, qint64> tags; // notification id -> tag, while it is shown
    // Whether the server reads the body as markup, once it said so
    // (GetCapabilities); what is to be shown waits for that answer.
    enum class Markup { Unknown, Asking, Read, Plain } markup = Markup::Unknown;
    QList<Waiting> waiting;
};
