#pragma once
// Balloon hints: a bold title over one or more lines of text, shown while
// the mouse rests over one control.
#include <QPainterPath>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>

// The balloon window itself: a rounded bubble whose tail points at the
// spot the mouse rests on.
class BalloonTip : public QWidget {
    Q_OBJECT
public:
    BalloonTip(QWidget *owner, const QString &title, const QString &text);
    void setTitle(const QString &title);
    void setText(const QString &text);
    QString title() const { return title_; }
    // The text as shown: one entry per line.
    QStringList lines() const { return lines_; }
    // Shows the bubble with the tail's tip at the given screen point.
    void popUp(const QPoint &globalTip);

protected:
    void paintEvent(QPaintEvent *e) override;

private:
    void relayout();
    QRectF bubbleRect() const;
    QPainterPath bubblePath() const;
    QString title_;
    QStringList lines_;
    QTimer autoHide;
    bool tailAbove = true;
    int tailX = 0;
};

// The hint of one control, used as the progress list uses it: set the
// control, the title and the text, then Create(). Each Create() replaces the
// previous balloon, so at most one exists. The hover area is the control's
// rectangle at Create() time.
class Class1 : public QObject {
    Q_OBJECT
public:
    Class1();
    ~Class1() override;
    void ParentControl(QWidget *control);
    void ToolTipTitle(const QString &title);
    void ToolTipText(const QString &text);
    void Create();
    // The balloon window of the last Create(), or null before the first.
    BalloonTip *tipWindow() const { return window.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *control, bool on);
    // Shows the balloon when the mouse is inside the hover area.
    bool showAt(const QPoint &globalPos);
    QPointer<QWidget> parent;
    QPointer<QWidget> watched;
    QString title;
    QString text;
    QRect area; // in the parent's coordinates
    std::unique_ptr<BalloonTip> window;
    QTimer restTimer;
};
