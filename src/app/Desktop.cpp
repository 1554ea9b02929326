// The program as a citizen of the desktop: the tray icon, the notifications'
// actions, starting with the desktop, and the news a command run beside the
// window hands over. The tray is made only when it is switched on; with it
// off, closing ends the program as it always has.
#include "app/Desktop.h"

#include "app/Autostart.h"
#include "app/Features.h"
#include "app/Form1.h"
#include "app/Layout.h"
#include "app/Locations.h"
#include "book/PickupLine.h"
#include "store/SettingValues.h"
#include "store/Store.h"
#include "watch/BookWatchPanel.h"
#include "watch/NewsTeller.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPainter>
#include <QSet>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace layout;

namespace {
const QString TrayKey = QStringLiteral("tray");
const QString WindowPath = QStringLiteral("/Window");

// The tray's picture: a parcel, with the number of parcels with unseen news
// on it when there are any (a tray has no badge of its own).
QIcon trayPicture(int count)
{
    QPixmap pm(64, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 20), 3));
    p.setBrush(QColor(201, 146, 72));
    p.drawRect(8, 18, 48, 40);
    p.drawLine(8, 30, 56, 30);
    p.setBrush(QColor(240, 220, 170));
    p.drawRect(26, 18, 12, 12);
    if (count > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(30, 0, 34, 34);
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(count > 99 ? 14 : 20);
        p.setFont(f);
        p.drawText(QRect(30, 0, 34, 34), Qt::AlignCenter,
                   count > 99 ? QStringLiteral("99+") : QString::number(count));
    }
    return QIcon(pm);
}
} // namespace

// What a running window offers on the session bus: a command's news.
class WindowService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "cn.tesmar.parcelio.Window")
public:
    explicit WindowService(Desktop *desktop) : QObject(desktop), desktop(desktop) {}
    // The name goes with the window: a command then tells the user itself.
    ~WindowService() override { QDBusConnection::sessionBus().unregisterService(QString::fromLatin1(AppId)); }

public slots:
    // The ids of parcels a round of the book at book (its folder) found news
    // for. False when this window keeps another book: the caller then tells
    // the user itself.
    bool News(const QString &book, const QStringList &ids) { return desktop->takeHandedNews(book, ids); }

private:
    Desktop *desktop;
};

Desktop::Desktop(Form1 &window_) : window(window_)
{
    closeToTrayBox =
        named<QCheckBox>(nullptr, QStringLiteral("closeToTrayBox"), Form1::tr("关闭后最小化到托盘"));
    startWithDesktopBox =
        named<QCheckBox>(nullptr, QStringLiteral("startWithDesktopBox"), Form1::tr("开机自动启动"));
    window.hostControl(Form1::HostedPlace::SettingsTitleLeft, closeToTrayBox);
    window.hostControl(Form1::HostedPlace::SettingsTitleRight, startWithDesktopBox);
    closeToTrayBox->setAttribute(Qt::WA_NoMousePropagation);
    startWithDesktopBox->setAttribute(Qt::WA_NoMousePropagation);
    closeToTrayBox->setToolTip(Form1::tr("关闭窗口后程序留在托盘中,继续自动刷新"));
    startWithDesktopBox->setToolTip(Form1::tr("登录桌面时在托盘中启动本程序"));
    connect(closeToTrayBox, &QCheckBox::toggled, this, [this] { closeToTrayClicked(); });
    connect(startWithDesktopBox, &QCheckBox::toggled, this, [this] { startWithDesktopClicked(); });
}

void Desktop::start()
{
    {
        const QSignalBlocker quietTray(closeToTrayBox);
        const QSignalBlocker quietStart(startWithDesktopBox);
        closeToTrayBox->setChecked(window.config().trayForced ||
                                   switchIsOn(window.store().watchSetting(TrayKey)));
        startWithDesktopBox->setChecked(autostartOn());
    }
    if (closeToTrayBox->isChecked())
        setTrayShown(true);
    if (window.platformServices().notifier)
        window.platformServices().notifier->onAction = [this](qint64 id, const QString &key) {
            notificationAction(id, key);
        };
    // A command run beside the window hands its news here. Offered a moment
    // after start, so that the start itself does not wait for the bus.
    QTimer::singleShot(1000, this, [this] {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        auto *service = new WindowService(this);
        if (bus.registerObject(WindowPath, service, QDBusConnection::ExportAllSlots))
            bus.registerService(QString::fromLatin1(AppId));
    });
}

bool Desktop::inTray() const
{
    return trayIcon && trayIcon->isVisible();
}

void Desktop::setTrayShown(bool on)
{
    if (!on) {
        if (trayIcon) {
            trayIcon->hide();
            delete trayIcon;
            trayIcon = nullptr;
        }
        qApp->setQuitOnLastWindowClosed(true);
        return;
    }
    if (trayIcon)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        window.setStatus(Form1::tr("桌面上没有托盘,关闭窗口仍将退出程序.."));
        closeToTrayBox->setToolTip(Form1::tr("桌面上没有托盘:关闭窗口仍将退出程序"));
        return;
    }
    trayIcon = new QSystemTrayIcon(&window);
    trayIcon->setObjectName(QStringLiteral("trayIcon"));
    trayMenu = new QMenu(&window);
    trayMenu->setObjectName(QStringLiteral("trayMenu"));
    trayMenu->addAction(Form1::tr("显示窗口"), this, [this] { showFromTray(); })
        ->setObjectName(QStringLiteral("trayShow"));
    trayMenu->addAction(Form1::tr("立即刷新"), this, [this] { window.features().bookWatchPanel().roundNow(); })
        ->setObjectName(QStringLiteral("trayRefresh"));
    trayMenu->addSeparator();
    trayMenu->addAction(Form1::tr("退出"), this, [this] { quitProgram(); })
        ->setObjectName(QStringLiteral("trayQuit"));
    trayIcon->setContextMenu(trayMenu);
    connect(trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
            window.isVisible() ? window.hide() : showFromTray();
    });
    updateTray();
    trayIcon->show();
    // The window may go while the program keeps watching.
    qApp->setQuitOnLastWindowClosed(false);
}

void Desktop::updateTray()
{
    if (!trayIcon)
        return;
    int unseen = 0, waiting = 0, either = 0;
    const auto states = window.store().entryStates();
    for (const EntryState &s : states) {
        const bool atStation = s.status == Status::AtStation;
        unseen += s.unseen ? 1 : 0;
        waiting += atStation ? 1 : 0;
        either += s.unseen || atStation ? 1 : 0;
    }
    QString tip = QStringLiteral("Parcelio");
    tip += QLatin1Char('\n') +
           (unseen > 0 ? Form1::tr("%n 个快递有新进展", nullptr, unseen) : Form1::tr("没有新进展"));
    if (waiting > 0)
        tip += QLatin1Char('\n') + Form1::tr("%n 个快递待取件", nullptr, waiting);
    trayIcon->setToolTip(tip);
    // The picture counts the parcels that ask something of the user.
    if (either != trayCount || trayIcon->icon().isNull()) {
        trayCount = either;
        trayIcon->setIcon(trayPicture(either));
    }
}

void Desktop::showFromTray()
{
    window.showNormal();
    window.raise();
    window.activateWindow();
}

void Desktop::quitProgram()
{
    if (!window.platformServices().terminator)
        return;
    window.finishNewsBeforeExit();
    window.platformServices().terminator->terminate();
}

void Desktop::closeToTrayClicked()
{
    const bool on = closeToTrayBox->isChecked();
    setTrayShown(on);
    if (on && !trayIcon) {
        // No tray on this desktop: the switch says so and stays off.
        const QSignalBlocker quiet(closeToTrayBox);
        closeToTrayBox->setChecked(false);
        return;
    }
    if (!window.store().writeWatchSetting(TrayKey, on ? QStringLiteral("是") : QStringLiteral("否")))
        window.setStatus(Form1::tr("设置保存失败,没有做任何改动.."));
}

void Desktop::startWithDesktopClicked()
{
    const bool on = startWithDesktopBox->isChecked();
    const bool done =
        on ? writeAutostart(QDir(programDir()).filePath(QStringLiteral("parcelio"))) : removeAutostart();
    if (done)
        return;
    const QSignalBlocker quiet(startWithDesktopBox);
    startWithDesktopBox->setChecked(!on);
    window.setStatus(Form1::tr("设置保存失败,没有做任何改动.."));
}

void Desktop::notificationAction(qint64 id, const QString &key)
{
    if (key == QLatin1String("copy-number")) {
        if (const auto row = window.store().parcelById(id))
            putOnClipboard(row->number);
    }
    if (key == QLatin1String("copy-pickup")) {
        if (const auto row = window.store().bookRow(id))
            putOnClipboard(row->life.code);
    }
    // From a reminder that it waits at a station: in hand now, so out of
    // the rounds and their reminders.
    if (key == QLatin1String("picked") && window.store().setPicked(id, window.now())) {
        window.setEntryState(id, EntryState{});
        if (window.CurrentParcel.id == QString::number(id)) {
            window.showStatus(Status::PickedUp);
            window.features().pickupLine().show();
        }
    }
}

QList<NotifyAction> Desktop::newsActions(qint64 id)
{
    QList<NotifyAction> actions{{QStringLiteral("view"), Form1::tr("查看")},
                                {QStringLiteral("copy-number"), Form1::tr("复制单号")}};
    // A parcel waiting at a station whose code the user pasted: the code is
    // what they need at the counter.
    const std::optional<BookRow> row = window.store().bookRow(id);
    if (row && !row->life.code.isEmpty() && bookRowStatus(*row) == Status::AtStation)
        actions.append({QStringLiteral("copy-pickup"), Parcelio::tr("复制取件码")});
    return actions;
}

bool Desktop::takeHandedNews(const QString &book, const QStringList &ids)
{
    // Any program on the session bus may call: only a round's worth of ids,
    // each told once, and only a parcel whose news the user has not seen.
    // A call refused here is told by the command itself.
    constexpr qsizetype MaxHanded = 500;
    if (ids.size() > MaxHanded ||
        QFileInfo(book).canonicalFilePath() != QFileInfo(window.dataDir()).canonicalFilePath())
        return false;
    // Once per parcel by its number, not its spelling: "01" and " 1" name
    // parcel 1 too. Once per news across calls: a caller repeating the call
    // tells nothing new.
    QSet<qint64> seen;
    for (const QString &text : ids) {
        bool ok = false;
        const qint64 key = text.trimmed().toLongLong(&ok);
        if (!ok || seen.contains(key))
            continue;
        seen.insert(key);
        const auto row = window.store().parcelById(key);
        const auto kept = window.store().progressOf(key);
        if (!row || !kept || !kept->unseen || kept->events.isEmpty())
            continue;
        const KeptEvent &e = kept->events.first();
        const QString newest = e.time + QLatin1Char(' ') + e.context;
        if (handedNewsTold.value(key) == newest)
            continue;
        handedNewsTold.insert(key, newest);
        window.features().newsTeller().notifyNews(row->id, row->goods, newest);
    }
    // The list's marks and the book as the command left them.
    window.refreshEntryStates();
    window.refillIfBookChanged();
    return true;
}

#include "Desktop.moc"
