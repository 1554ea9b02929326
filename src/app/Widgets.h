#pragma once
// Small control classes that report the mouse the way the window's handlers
// expect it: press, release and move with the button that caused them.
#include <QFrame>
#include <QLabel>
#include <QTreeWidget>

// Sets the text colour of a label or similar control.
void setTextColour(QWidget *w, const QColor &c);

// A tooltip guesses whether its text is markup: a reply's "<h1>" or
// "<img src=…>" would be rendered. This one shows the text as it stands.
QString plainToolTip(const QString &text);
class QAbstractButton;
// A one-line label's text, cut short with "…" where it is wider than the
// label, the whole text then its tooltip; wholeText() gives it back whole.
void setFittedText(QLabel *label, const QString &text);
QString wholeText(const QLabel *label);
// A button whose caption changes at run time: a caption too wide for it
// is shown on two lines, in a smaller font where needed, and carries the
// whole text as its tooltip.
void fitCaption(QAbstractButton *button);

// Labels show event texts, goods and company names: always as plain text,
// so that "<b>" or "&lt;" in a reply is shown as it stands.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget *parent = nullptr) : QLabel(parent) { setTextFormat(Qt::PlainText); }
    explicit Label(const QString &text, QWidget *parent = nullptr) : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        setText(text);
    }
signals:
    void pressed(Qt::MouseButton button);
    void released(Qt::MouseButton button);
    void clicked();
    void doubleClicked();
    void moved();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
};

// A floating panel: a press on its own background is reported, and while the
// owner allows it the panel follows the mouse inside its parent window.
class Panel : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;
    void beginDrag(const QPointF &globalPos);
    bool dragging() const { return dragActive; }
    QPointF lastPressGlobalPosition() const { return pressGlobal; }
signals:
    void pressed(Qt::MouseButton button);
    void dragFinished();
    void moved();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void enterEvent(QEnterEvent *e) override;

private:
    bool dragActive = false;
    QPoint grabOffset;
    QPointF pressGlobal;
};

class ListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit ListView(QWidget *parent = nullptr);
signals:
    void mousePressed(Qt::MouseButton button);
    // A left click or double click anywhere on the list, also on no row.
    void mouseClicked();
    void mouseDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
};

// The busy picture shown while a request is outstanding: a turning arc
// painted in code, animating only while visible.
class BusyIndicator : public QWidget {
    Q_OBJECT
public:
    explicit BusyIndicator(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *) override;
    void showEvent(QShowEvent *) override;
    void hideEvent(QHideEvent *) override;
    void timerEvent(QTimerEvent *) override;

private:
    int angle = 0;
    int timerId = 0;
};
