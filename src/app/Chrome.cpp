#include "app/Desktop.h"
#include "app/Features.h"
#include "app/Form1.h"
#include "app/Text.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QWindow>

namespace {
const QColor Silver(192, 192, 192);

void paint(QWidget *w, const QColor &c)
{
    setTextColour(w, c);
}
} // namespace

void Form1::connectHandlers()
{
    for (const auto &[i, l] : Label16) {
        const int n = i;
        connect(l, &Label::pressed, this, [this, n] { Label16_MouseDown(n); });
        connect(l, &Label::moved, this, [this, n] { Label16_MouseMove(n); });
    }
    for (int n : {1, 2}) {
        connect(Label2(n), &Label::released, this, [this, n] { Label2_MouseUp(n); });
        connect(Label2(n), &Label::moved, this, [this, n] { Label2_MouseMove(n); });
    }
    for (const auto &[i, l] : Label11) {
        const int n = i;
        connect(l, &Label::pressed, this, [this, n] { Label11_MouseDown(n); });
    }
    connectPanel(1);
    connect(Picture5, &Panel::pressed, this, &Form1::Picture5_Click);
    connect(Label23, &Label::clicked, this, &Form1::Picture5_Click);

    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer3, &QTimer::timeout, this, &Form1::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &Form1::Timer4_Timer);
    connect(Timer5, &QTimer::timeout, this, &Form1::Timer5_Timer);
    connect(Timer6, &QTimer::timeout, this, &Form1::Timer6_Timer);
    connect(Timer7, &QTimer::timeout, this, &Form1::Timer7_Timer);

    for (const auto &[i, icon] : Image2) {
        const int n = i;
        connect(icon, &Label::clicked, this, [this, n] { Image2_Click(n); });
    }
    // activated fires for every choice by the user, also of the entry
    // already selected.
    connect(Text1, &QComboBox::activated, this, [this] { Text1_Click(); });
    connectCommands();
    connect(ListView1, &ListView::mouseClicked, this, &Form1::ListView1_Click);
    connect(ListView1, &ListView::mouseDoubleClicked, this, &Form1::ListView1_DblClick);
    connect(ListView1, &ListView::mousePressed, this, &Form1::ListView1_MouseDown);
}

void Form1::connectPanel(int n)
{
    Panel *p = kdmenu(n);
    connect(p, &Panel::pressed, this, [this, n] { kdmenu_MouseDown(n); });
    connect(p, &Panel::moved, this, &Form1::resetQuickPickColours);
    connect(p, &Panel::dragFinished, this, [this, n] {
        if (Check5->isChecked())
            kdmenu(n)->hide();
    });
    connect(x(n), &Label::clicked, this, [this, n] { x_Click(n); });
}

void Form1::connectCommands()
{
    // Each button once: the panels made later bring more of the array.
    for (const auto &[i, b] : Command1) {
        if (b->property("connected").toBool())
            continue;
        b->setProperty("connected", true);
        const int n = i;
        connect(b, &QPushButton::clicked, this, [this, n] { Command1_Click(n); });
    }
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && (w == this || w->window() == this)) {
            auto *k = static_cast<QKeyEvent *>(event);
            const int key = k->key();
            if ((key >= Qt::Key_F4 && key <= Qt::Key_F12) || key == Qt::Key_Escape) {
                Form_KeyDown(key, k->modifiers());
                return true;
            }
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && pressDefaultButton(w))
                return true;
        }
    } else if (event->type() == QEvent::MouseMove && watched == Picture3) {
        resetQuickPickColours();
    }
    return QWidget::eventFilter(watched, event);
}

bool Form1::pressDefaultButton(QWidget *focus)
{
    // Panels are not dialogs, so Qt gives their default buttons no Enter key:
    // Enter in a panel's field presses the button its opener made default.
    if (qobject_cast<QPushButton *>(focus))
        return false; // a focused button takes Enter itself
    for (const auto &[i, panel] : kdmenu) {
        if (!panel->isVisible() || !panel->isAncestorOf(focus))
            continue;
        for (QPushButton *b : panel->findChildren<QPushButton *>()) {
            if (b->isDefault() && b->isEnabled() && b->isVisible()) {
                b->click();
                return true;
            }
        }
    }
    return false;
}

void Form1::mousePressEvent(QMouseEvent *e)
{
    Form_MouseDown(e->button());
}

void Form1::mouseMoveEvent(QMouseEvent *)
{
    Form_MouseMove();
}

void Form1::Form_MouseDown(Qt::MouseButton)
{
    // Any button moves the window, as a caption drag would.
    ++windowDragRequests_;
    if (QWindow *w = windowHandle())
        w->startSystemMove();
}

void Form1::Form_MouseMove()
{
    for (const auto &[i, l] : Label16)
        paint(l, Silver);
}

void Form1::Label16_MouseDown(int index)
{
    switch (index) {
    case 0: openWeb(cfg.site); break;
    case 1:
        hideAllPanels();
        ShowPanel(1);
        break;
    case 2: openWeb(cfg.web); break;
    }
}

void Form1::Label16_MouseMove(int index)
{
    paint(Label16(index), Qt::white);
}

void Form1::Label2_MouseUp(int index)
{
    if (index == 1)
        showMinimized();
    else if (index == 2 && features().desktop().inTray())
        hide(); // the tray keeps the program, and the book watch, running
    else if (index == 2 && platform.terminator) {
        finishNewsBeforeExit();
        platform.terminator->terminate();
    }
}

void Form1::Label2_MouseMove(int index)
{
    paint(Label2(1), Silver);
    paint(Label2(2), Silver);
    paint(Label2(index), Qt::white);
}

void Form1::Label11_MouseDown(int index)
{
    if (index == 4)
        openWeb(cfg.home);
}

void Form1::Label22_Click()
{
    QString site = cfg.site;
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    openWeb(site + QStringLiteral("/tui.html"));
}

void Form1::openWeb(const QString &url)
{
    if (platform.web)
        platform.web->open(url);
}

void Form1::ShowPanel(int i, QSize placeAs)
{
    buildPanels();
    Panel *p = kdmenu(i);
    const QSize s = placeAs.isValid() ? placeAs : p->size();
    p->move((width() - s.width()) / 2, (height() - s.height()) / 2);
    p->show();
}

void Form1::kdmenu_MouseDown(int index)
{
    Panel *p = kdmenu(index);
    if (Check4->isChecked()) {
        // The panel follows the mouse until the button is released; the
        // click-to-close step then runs when the drag ends.
        p->beginDrag(p->lastPressGlobalPosition());
        return;
    }
    if (Check5->isChecked())
        p->hide();
}

void Form1::x_Click(int index)
{
    if (index == 1)
        checkAndStoreAddress();
    else
        kdmenu(index)->hide();
}

void Form1::Picture5_Click()
{
    Picture5->hide();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // With the tray, closing only hides: the book watch keeps running.
    if (features().desktop().inTray()) {
        hide();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}
