#include "app/Widgets.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

void setTextColour(QWidget *w, const QColor &c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    w->setPalette(pal);
}

QString plainToolTip(const QString &text)
{
    if (text.isEmpty())
        return text;
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return QStringLiteral("<qt>") + escaped + QStringLiteral("</qt>");
}

void Label::mousePressEvent(QMouseEvent *e)
{
    emit pressed(e->button());
    e->accept();
}

void Label::mouseReleaseEvent(QMouseEvent *e)
{
    emit released(e->button());
    if (rect().contains(e->position().toPoint()))
        emit clicked();
    e->accept();
}

void Label::mouseDoubleClickEvent(QMouseEvent *e)
{
    emit doubleClicked();
    e->accept();
}

void Label::mouseMoveEvent(QMouseEvent *e)
{
    emit moved();
    QLabel::mouseMoveEvent(e);
    // A move over a label is not a move over the window background.
    e->accept();
}

void Label::enterEvent(QEnterEvent *e)
{
    emit moved();
    QLabel::enterEvent(e);
}

void Panel::beginDrag(const QPointF &globalPos)
{
    dragActive = true;
    grabOffset = globalPos.toPoint() - mapToGlobal(QPoint(0, 0));
    grabMouse();
}

void Panel::mousePressEvent(QMouseEvent *e)
{
    pressGlobal = e->globalPosition();
    emit pressed(e->button());
    e->accept();
}

void Panel::mouseMoveEvent(QMouseEvent *e)
{
    if (dragActive && parentWidget()) {
        QPoint p = parentWidget()->mapFromGlobal(e->globalPosition().toPoint() - grabOffset);
        // Keep the panel inside the window.
        const QSize room = parentWidget()->size() - size();
        p.setX(std::clamp(p.x(), 0, std::max(0, room.width())));
        p.setY(std::clamp(p.y(), 0, std::max(0, room.height())));
        move(p);
    }
    emit moved();
    e->accept();
}

void Panel::mouseReleaseEvent(QMouseEvent *e)
{
    if (dragActive) {
        dragActive = false;
        releaseMouse();
        emit dragFinished();
    }
    e->accept();
}

void Panel::enterEvent(QEnterEvent *e)
{
    emit moved();
    QFrame::enterEvent(e);
}

void ListView::mousePressEvent(QMouseEvent *e)
{
    QTreeWidget::mousePressEvent(e);
    emit mousePressed(e->button());
}

void ListView::mouseReleaseEvent(QMouseEvent *e)
{
    QTreeWidget::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && viewport()->rect().contains(e->position().toPoint()))
        emit mouseClicked();
}

void ListView::mouseDoubleClickEvent(QMouseEvent *e)
{
    QTreeWidget::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton)
        emit mouseDoubleClicked();
}

BusyIndicator::BusyIndicator(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BusyIndicator::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 6;
    const QRectF r((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(QColor(220, 220, 220), 4));
    p.drawEllipse(r);
    p.setPen(QPen(QColor(0, 120, 215), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(r, -angle * 16, 100 * 16);
}

void BusyIndicator::showEvent(QShowEvent *)
{
    if (!timerId)
        timerId = startTimer(40);
}

void BusyIndicator::hideEvent(QHideEvent *)
{
    if (timerId)
        killTimer(timerId);
    timerId = 0;
}

void BusyIndicator::timerEvent(QTimerEvent *)
{
    angle = (angle + 12) % 360;
    update();
}

ListView::ListView(QWidget *parent) : QTreeWidget(parent)
{
    // Left unset, the header measures the widest glyph of its font for every
    // column added, loading font engines long before anything is drawn.
    header()->setMinimumSectionSize(20);
}
