#include "platform/RealPlatform.h"
#include "platform/Modules.h"

#include <QClipboard>
#include <QColor>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

MessageBox::Answer RealMessageBox::show(QWidget *parent, const QString &text, const QString &title, Icon icon,
                                        Buttons buttons)
{
    QMessageBox box(icon == Warning ? QMessageBox::Warning : QMessageBox::Information, title, text,
                    QMessageBox::NoButton, parent);
    // Goods, replies and notices come from users and servers: a text that
    // looks like markup is still only text, with no link to follow.
    box.setTextFormat(Qt::PlainText);
    if (buttons == YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? AnswerYes : AnswerNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return AnswerOk;
}

void RealWebOpener::open(const QString &url)
{
    // Fire and forget: whether a browser started is not checked.
    QDesktopServices::openUrl(QUrl(url));
}

bool ownsClipboard()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
           QGuiApplication::clipboard()->ownsClipboard();
}

void RealTerminator::terminate(int status)
{
    if (status == 0 && ownsClipboard()) {
        QCoreApplication::exit(0);
        return;
    }
    // Every change is already in the database, so nothing needs to unwind.
    std::fflush(nullptr);
    std::_Exit(status);
}

void RealSoundPlayer::play(const QString &path)
{
    if (!looked) {
        looked = true;
        playFunction =
            reinterpret_cast<PlayFunction>(moduleFunction("parcelio-sound", "parcelio_play_sound"));
    }
    if (playFunction)
        playFunction(path.toUtf8().constData());
}

QColor tintColour(const QColor &c, int hue, int saturation, int brightness)
{
    float h, s, v, a;
    c.getHsvF(&h, &s, &v, &a);
    if (h >= 0) // achromatic colours have no hue to turn
        h = std::fmod(h + hue / 360.0f + 1.0f, 1.0f);
    s = std::clamp(s * (1.0f + saturation / 100.0f), 0.0f, 1.0f);
    v = std::clamp(v + brightness / 100.0f, 0.0f, 1.0f);
    return QColor::fromHsvF(h < 0 ? 0 : h, s, v).toRgb();
}

QMap<QString, QColor> parseSkin(const QString &text)
{
    QMap<QString, QColor> out;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.section(QLatin1Char(';'), 0, 0).trimmed();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QColor c(line.mid(eq + 1).trimmed());
        if (c.isValid())
            out.insert(line.left(eq).trimmed().toLower(), c);
    }
    return out;
}

void applySkin(QWidget *window, const QMap<QString, QColor> &tinted)
{
    static const struct {
        const char *name;
        QPalette::ColorRole role;
    } roles[] = {{"window", QPalette::Window},
                 {"windowtext", QPalette::WindowText},
                 {"base", QPalette::Base},
                 {"alternatebase", QPalette::AlternateBase},
                 {"text", QPalette::Text},
                 {"button", QPalette::Button},
                 {"buttontext", QPalette::ButtonText},
                 {"highlight", QPalette::Highlight},
                 {"highlightedtext", QPalette::HighlightedText}};
    QPalette pal = window->palette();
    for (const auto &r : roles) {
        const auto it = tinted.find(QLatin1String(r.name));
        if (it != tinted.end())
            pal.setColor(r.role, *it);
    }
    window->setPalette(pal);
    // The floating panels carry a lighter ground of their own, and their
    // labels the ordinary text colour.
    for (QWidget *panel : window->findChildren<QWidget *>())
        if (panel->inherits("Panel"))
            applyPanelSkin(panel, tinted);
}

void applyPanelSkin(QWidget *panel, const QMap<QString, QColor> &tinted)
{
    if (!tinted.contains(QStringLiteral("panel")))
        return;
    QPalette pp = panel->palette();
    pp.setColor(QPalette::Window, tinted.value(QStringLiteral("panel")));
    pp.setColor(QPalette::WindowText, tinted.value(QStringLiteral("text"), Qt::black));
    pp.setColor(QPalette::Light, tinted.value(QStringLiteral("panelborder"), Qt::gray));
    pp.setColor(QPalette::Dark, tinted.value(QStringLiteral("panelborder"), Qt::gray));
    panel->setPalette(pp);
}

void PaletteSkin::attach(QWidget *window, const QString &path, const QString &)
{
    target = window;
    QFile f(path);
    // A missing skin leaves the window unskinned; start-up goes on.
    if (!f.open(QIODevice::ReadOnly))
        return;
    colours = parseSkin(QString::fromUtf8(f.readAll()));
    apply();
}

void PaletteSkin::adjustHSV(int hue, int saturation, int brightness)
{
    h = hue;
    s = saturation;
    v = brightness;
    apply();
}

QMap<QString, QColor> PaletteSkin::tinted() const
{
    QMap<QString, QColor> out;
    for (auto it = colours.cbegin(); it != colours.cend(); ++it)
        out.insert(it.key(), tintColour(it.value(), h, s, v));
    return out;
}

void PaletteSkin::apply()
{
    if (!target || colours.isEmpty())
        return;
    applySkin(target, tinted());
}

void PaletteSkin::skinPanel(QWidget *panel)
{
    // Before attach there is nothing to wear yet; attach dresses it then.
    if (!target || colours.isEmpty() || !panel)
        return;
    applyPanelSkin(panel, tinted());
}

namespace {
// Errors that mean no time service answers on this bus (not started, not
// installed, or no service manager to start it): the clock is then set directly.
bool noTimeService(const QString &error)
{
    return error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
           error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           error.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn.")) ||
           error.startsWith(QLatin1String("org.freedesktop.systemd1."));
}
} // namespace

SystemClock::Result RealSystemClock::setLocal(const QDate &date, const QTime &time)
{
    const QDateTime when(date, time, Qt::LocalTime);
    if (!when.isValid())
        return {Refused, QStringLiteral("invalid date or time")};
    const qint64 msecs = when.toMSecsSinceEpoch();

    QDBusConnection bus = QDBusConnection::systemBus();
    if (bus.isConnected()) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
            QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
        // Absolute time in microseconds, not relative, interactive.
        call << qint64(msecs * 1000) << false << true;
        call.setInteractiveAuthorizationAllowed(true);
        // The desktop may ask for a password: wait with the window's events
        // running, and long enough for the user to type it.
        QDBusPendingCallWatcher watcher(bus.asyncCall(call, 180000));
        if (!watcher.isFinished()) {
            QEventLoop wait;
            QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &wait, &QEventLoop::quit);
            wait.exec();
        }
        const QDBusMessage reply = watcher.reply();
        if (reply.type() == QDBusMessage::ReplyMessage)
            return {Set, {}};
        if (reply.errorName() == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled"))
            return {AutomaticSync, reply.errorMessage()};
        if (!noTimeService(reply.errorName()))
            return {Refused, reply.errorMessage()};
    }

    timespec ts{};
    ts.tv_sec = time_t(msecs / 1000);
    ts.tv_nsec = long(msecs % 1000) * 1000000L;
    if (clock_settime(CLOCK_REALTIME, &ts) == 0)
        return {Set, {}};
    return {Refused, QString::fromLocal8Bit(std::strerror(errno))};
}

RealPlatform::RealPlatform()
{
    messageBox = &box;
    web = &webOpener;
    terminator = &term;
    sound = &player;
    skin = &paletteSkin;
    systemClock = &sysClock;
    // the current local time
    clock = &localClock;
    fileDialog = &saveDialog;
    notifier = &notifications;
}

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        out << parts.at(i) + QStringLiteral(" (") + parts.at(i + 1) + QLatin1Char(')');
    return out.join(QStringLiteral(";;"));
}

QString RealFileDialog::saveFileName(QWidget *parent, const QString &filter)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(qtFileFilter(filter));
    // A name typed without an extension gets the first pattern's ("*.txt").
    const QString pattern = filter.section(QLatin1Char('|'), 1, 1);
    if (pattern.startsWith(QStringLiteral("*.")))
        dialog.setDefaultSuffix(pattern.mid(2));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
