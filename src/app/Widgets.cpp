#include "app/Widgets.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QStyle>
#include <QStyleOption>
#include <QStylePainter>
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

namespace {
const char *const WholeText = "parcelioWholeText";
const char *const FitTip = "parcelioFitTip";

// Plain text for a tooltip: one that looks like markup is shown as written.
QString plainTip(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

// Paints a caption too wide for one line on two, in a smaller font where
// needed; there is no signal for a new caption, so this is decided at
// each paint.
class CaptionFitter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *b = qobject_cast<QAbstractButton *>(watched);
        if (!b || event->type() != QEvent::Paint)
            return false;
        const QString text = b->text();
        QStyleOptionButton o;
        o.initFrom(b);
        o.state |= b->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &o, b).adjusted(2, 0, -2, 0);
        const bool fits = b->fontMetrics().horizontalAdvance(text) <= room.width();
        // The tooltip is only replaced where this put it there.
        const QString tip = fits ? QString() : plainTip(text);
        if (b->toolTip() == b->property(FitTip).toString() && b->toolTip() != tip) {
            b->setToolTip(tip);
            b->setProperty(FitTip, tip);
        }
        if (fits)
            return false; // painted as any button
        QFont f = b->font();
        const int flags = Qt::AlignCenter | Qt::TextWordWrap;
        auto tooBig = [&] {
            const QRect needed = QFontMetrics(f).boundingRect(room, flags, text);
            return needed.width() > room.width() || needed.height() > room.height();
        };
        while (tooBig() && f.pointSizeF() > 7)
            f.setPointSizeF(f.pointSizeF() - 0.5);
        QStylePainter p(b);
        p.drawControl(QStyle::CE_PushButtonBevel, o);
        p.setFont(f);
        p.setPen(b->palette().color(b->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.drawText(room, flags, text);
        return true;
    }
};
} // namespace

void setFittedText(QLabel *label, const QString &text)
{
    label->setProperty(WholeText, text);
    const int room = label->contentsRect().width();
    const QFontMetrics metrics = label->fontMetrics();
    const bool fits = metrics.horizontalAdvance(text) <= room;
    label->setText(fits ? text : metrics.elidedText(text, Qt::ElideRight, room));
    label->setToolTip(fits ? QString() : plainTip(text));
}

QString wholeText(const QLabel *label)
{
    const QVariant whole = label->property(WholeText);
    return whole.isValid() ? whole.toString() : label->text();
}

void fitCaption(QAbstractButton *button)
{
    button->setProperty(FitTip, button->toolTip());
    button->installEventFilter(new CaptionFitter(button));
}
