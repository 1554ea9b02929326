#include "app/Balloon.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolTip>

namespace {
constexpr int Pad = 10;  // inner margin of the bubble
constexpr int Tail = 12; // height of the tail
constexpr int Radius = 8;
constexpr int TailInset = 22; // tail position from the bubble's near edge
// The usual tooltip timing: shown after a short rest, gone after a while.
constexpr int RestMs = 500;
constexpr int ShowMs = 10000;

QFont titleFont(const QFont &base)
{
    QFont f = base;
    f.setBold(true);
    return f;
}
} // namespace

BalloonTip::BalloonTip(QWidget *owner, const QString &title, const QString &text)
    // Input passes through: a balloon under the mouse must not count as
    // the mouse leaving the control, which would hide it at once.
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                         Qt::WindowTransparentForInput)
{
    setObjectName(QStringLiteral("BalloonTip"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (owner)
        setFont(owner->font());
    autoHide.setSingleShot(true);
    autoHide.setInterval(ShowMs);
    connect(&autoHide, &QTimer::timeout, this, &QWidget::hide);
    title_ = title;
    setText(text);
}

void BalloonTip::setTitle(const QString &title)
{
    title_ = title;
    relayout();
}

void BalloonTip::setText(const QString &text)
{
    // CR LF starts a new line; a bare LF does too.
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines_ = t.split(QLatin1Char('\n'));
    relayout();
}

void BalloonTip::relayout()
{
    const QFontMetrics body(font());
    const QFontMetrics head(titleFont(font()));
    int w = title_.isEmpty() ? 0 : head.horizontalAdvance(title_);
    for (const QString &l : lines_)
        w = std::max(w, body.horizontalAdvance(l));
    int h = lines_.size() * body.lineSpacing();
    if (!title_.isEmpty())
        h += head.lineSpacing() + 4;
    resize(std::max(w + 2 * Pad, 2 * TailInset + Tail), h + 2 * Pad + Tail);
    update();
}

void BalloonTip::popUp(const QPoint &globalTip)
{
    // Below and to the right of the mouse; flipped where the screen ends.
    const QScreen *screen = QGuiApplication::screenAt(globalTip);
    const QRect room = screen ? screen->availableGeometry() : QRect(globalTip, size());
    tailAbove = globalTip.y() + height() <= room.bottom() || globalTip.y() - height() < room.top();
    int left = globalTip.x() - TailInset;
    if (left + width() > room.right())
        left = globalTip.x() - width() + TailInset;
    left = std::max(left, room.left());
    tailX = std::clamp(globalTip.x() - left, Radius + Tail / 2, width() - Radius - Tail / 2);
    const int top = tailAbove ? globalTip.y() : globalTip.y() - height();
    move(left, top);
    // Without a compositor the window's corners would show black: the
    // shape itself is the window.
    setMask(QRegion(bubblePath().toFillPolygon().toPolygon()));
    show();
    raise();
    update();
    autoHide.start();
}

QPainterPath BalloonTip::bubblePath() const
{
    QPainterPath path;
    path.addRoundedRect(bubbleRect(), Radius, Radius);
    const QRectF bubble = bubbleRect();
    QPainterPath tail;
    if (tailAbove) {
        tail.moveTo(tailX - Tail / 2.0, bubble.top() + 1);
        tail.lineTo(tailX, 0.5);
        tail.lineTo(tailX + Tail / 2.0, bubble.top() + 1);
    } else {
        tail.moveTo(tailX - Tail / 2.0, bubble.bottom() - 1);
        tail.lineTo(tailX, height() - 0.5);
        tail.lineTo(tailX + Tail / 2.0, bubble.bottom() - 1);
    }
    tail.closeSubpath();
    return path.united(tail);
}

QRectF BalloonTip::bubbleRect() const
{
    return tailAbove ? QRectF(0.5, Tail + 0.5, width() - 1, height() - Tail - 1)
                     : QRectF(0.5, 0.5, width() - 1, height() - Tail - 1);
}

void BalloonTip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bubble = bubbleRect();
    const QPainterPath path = bubblePath();
    const QPalette pal = QToolTip::palette();
    p.setPen(QPen(pal.color(QPalette::ToolTipText), 1));
    p.setBrush(pal.color(QPalette::ToolTipBase));
    p.drawPath(path);

    int y = int(bubble.top()) + Pad;
    const int x = int(bubble.left()) + Pad;
    if (!title_.isEmpty()) {
        const QFont head = titleFont(font());
        p.setFont(head);
        const QFontMetrics fm(head);
        p.drawText(x, y + fm.ascent(), title_);
        y += fm.lineSpacing() + 4;
    }
    p.setFont(font());
    const QFontMetrics fm(font());
    for (const QString &l : lines_) {
        p.drawText(x, y + fm.ascent(), l);
        y += fm.lineSpacing();
    }
}

Class1::Class1()
{
    restTimer.setSingleShot(true);
    restTimer.setInterval(RestMs);
    connect(&restTimer, &QTimer::timeout, this, [this] { showAt(QCursor::pos()); });
}

Class1::~Class1()
{
    watch(watched, false);
}

void Class1::ParentControl(QWidget *control)
{
    parent = control;
}

void Class1::ToolTipTitle(const QString &t)
{
    title = t;
    if (window)
        window->setTitle(t);
}

void Class1::ToolTipText(const QString &t)
{
    text = t;
    if (window)
        window->setText(t);
}

void Class1::Create()
{
    restTimer.stop();
    window.reset();
    watch(watched, false);
    if (!parent)
        return; // nothing to point at: no balloon, nothing said
    window = std::make_unique<BalloonTip>(parent, title, text);
    area = parent->rect();
    watch(parent, true);
    // The mouse is usually over the control already (it was just clicked):
    // the balloon comes after the usual rest, without waiting for a move.
    if (area.contains(parent->mapFromGlobal(QCursor::pos())))
        restTimer.start();
}

void Class1::watch(QWidget *control, bool on)
{
    if (!control)
        return;
    QList<QObject *> targets{control};
    // In a list the mouse is over the viewport, not the list itself.
    if (auto *scroll = qobject_cast<QAbstractScrollArea *>(control))
        targets << scroll->viewport();
    for (QObject *o : targets) {
        if (on)
            o->installEventFilter(this);
        else
            o->removeEventFilter(this);
    }
    watched = on ? control : nullptr;
}

bool Class1::showAt(const QPoint &globalPos)
{
    if (!window || !parent || !area.contains(parent->mapFromGlobal(globalPos)))
        return false;
    window->popUp(globalPos);
    return true;
}

bool Class1::eventFilter(QObject *obj, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        if (showAt(static_cast<QHelpEvent *>(event)->globalPos()))
            return true; // the balloon stands instead of the plain tooltip
        break;
    case QEvent::Leave:
        // Showing the balloon under the mouse can report a leave of its
        // own; only a mouse really outside the area ends the balloon.
        if (parent && area.contains(parent->mapFromGlobal(QCursor::pos())))
            break;
        [[fallthrough]];
    case QEvent::Wheel:
    case QEvent::Hide:
        restTimer.stop();
        if (window)
            window->hide();
        break;
    default: break;
    }
    return QObject::eventFilter(obj, event);
}
