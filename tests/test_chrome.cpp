// The title strip, links, panels and the numeric filters.
#include "support/Harness.h"
#include "app/BakedIcons.h"
#include "app/Language.h"
#include "app/Tr.h"
#include "tracking/Service.h"

#include <QTextDocument>
#include <QtTest>

namespace {
QColor colour(QWidget *w)
{
    return w->palette().color(QPalette::WindowText);
}
const QColor Silver(192, 192, 192);

// Delivers one mouse move straight to a control (the offscreen cursor
// otherwise adds moves of its own at unpredictable moments).
void hover(QWidget *w, QPoint at = QPoint(2, 2))
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}
// The controls under one widget whose text does not fit them: wider than
// the label (or more lines than it is high), or than a check box's or
// button's room for text unless its tooltip carries the whole text; and a
// check box covered by a label beside it.
QStringList notFitting(QWidget *under)
{
    QStringList out;
    const auto say = [&](QWidget *c, const QString &text) { out << c->objectName() + QStringLiteral(": ") + text; };
    for (QWidget *c : under->findChildren<QWidget *>()) {
        if (!c->isVisibleTo(under))
            continue;
        if (auto *l = qobject_cast<QLabel *>(c)) {
            const QString text = l->text();
            if (text.isEmpty())
                continue;
            const QRect room = l->contentsRect();
            if (l->wordWrap()) {
                if (l->heightForWidth(l->width()) > l->height())
                    say(c, text);
            } else if (l->textFormat() != Qt::PlainText && Qt::mightBeRichText(text)) {
                QTextDocument d;
                d.setDefaultFont(l->font());
                d.setDocumentMargin(0);
                d.setHtml(text);
                if (d.idealWidth() > room.width())
                    say(c, text);
            } else {
                const QStringList lines = text.split(QLatin1Char('\n'));
                for (const QString &line : lines)
                    if (l->fontMetrics().horizontalAdvance(line) > room.width())
                        say(c, line);
                if (lines.size() * l->fontMetrics().lineSpacing() > room.height() + 2)
                    say(c, text);
            }
        } else if (auto *b = qobject_cast<QAbstractButton *>(c)) {
            const QString text = b->text();
            if (text.isEmpty() || b->toolTip().contains(text))
                continue;
            int room = b->width() - 2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
            if (qobject_cast<QCheckBox *>(c) || qobject_cast<QRadioButton *>(c)) {
                QStyleOptionButton o;
                o.initFrom(b);
                o.text = text;
                const bool radio = qobject_cast<QRadioButton *>(c);
                room = b->style()
                           ->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents,
                                            &o, b)
                           .width();
                // Where a label's text stands, not its whole box.
                for (QLabel *l : b->parentWidget()->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
                    if (!l->isVisibleTo(under) || l->text().isEmpty() || l->wordWrap())
                        continue;
                    const QSize size(l->fontMetrics().horizontalAdvance(l->text()), l->fontMetrics().height());
                    const QRect drawn = QStyle::alignedRect(l->layoutDirection(), l->alignment(), size,
                                                            l->contentsRect());
                    if (drawn.translated(l->pos()).intersects(b->geometry()))
                        say(c, text + QStringLiteral(" (covered by ") + l->objectName() + QLatin1Char(')'));
                }
                // A check box in a group box's title: the title's words
                // begin after it.
                if (auto *g = qobject_cast<QGroupBox *>(b->parentWidget()); g && !g->title().isEmpty()) {
                    QStyleOptionGroupBox go;
                    go.initFrom(g);
                    go.text = g->title();
                    go.subControls = QStyle::SC_GroupBoxLabel;
                    const QRect title =
                        g->style()->subControlRect(QStyle::CC_GroupBox, &go, QStyle::SC_GroupBoxLabel, g);
                    const QString words = g->title().trimmed();
                    const int start = title.left() + g->fontMetrics().horizontalAdvance(
                                                         g->title().left(g->title().indexOf(words)));
                    if (title.intersects(b->geometry()) && start < b->geometry().right() + 3)
                        say(c, text + QStringLiteral(" (covers the title of ") + g->objectName() + QLatin1Char(')'));
                }
            }
            if (b->fontMetrics().horizontalAdvance(text) > room)
                say(c, text);
        }
    }
    return out;
}
} // namespace

class TestChrome : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { h.reset(); }
    void linksOpenTheMakersPages();
    void titleStripHover();
    void minimiseCloseAndWindowDrag();
    void panelsOpenCentred();
    void panelDragAndClickToClose();
    void closeImagesAndOverlay();
    void iconsOnA1xScreen();
    void numericFilters();
    void everyTextFits(); // last: it leaves the English translation installed

private:
    std::unique_ptr<Harness> h;
};

void TestChrome::init()
{
    h = std::make_unique<Harness>();
    h->allPanels = true; // reaches into panels it has not opened
    h->setIni("maker/site", "http://maker.test/parcelio/");
    h->setIni("maker/web", "http://web.maker.test/");
    h->setIni("maker/home", "http://maker.test/");
    QVERIFY(h->start());
}

void TestChrome::linksOpenTheMakersPages()
{
    Form1 &w = h->w();
    QTest::mousePress(w.Label16(0), Qt::RightButton);
    QTest::mousePress(w.Label16(2), Qt::LeftButton);
    QTest::mousePress(w.Label11(4), Qt::LeftButton);
    QTest::mousePress(w.Label11(5), Qt::LeftButton); // only the credit reacts
    w.ShowPanel(1);
    QTest::mouseClick(w.Label22, Qt::LeftButton);
    QCOMPARE(h->platform.webOpener.opened,
             QStringList({"http://maker.test/parcelio/", "http://web.maker.test/", "http://maker.test/",
                          "http://maker.test/parcelio/tui.html"}));
}

void TestChrome::titleStripHover()
{
    Form1 &w = h->w();
    QCOMPARE(colour(w.Label16(1)), Silver);
    hover(w.Label16(1));
    QCOMPARE(colour(w.Label16(1)), QColor(Qt::white));
    hover(&w, QPoint(300, 190)); // the window background
    for (int i = 0; i <= 2; ++i)
        QCOMPARE(colour(w.Label16(i)), Silver);

    hover(w.Label2(1));
    QCOMPARE(colour(w.Label2(1)), QColor(Qt::white));
    hover(w.Label2(2));
    QCOMPARE(colour(w.Label2(2)), QColor(Qt::white));
    QCOMPARE(colour(w.Label2(1)), Silver);
    // Leaving them does not reset them.
    hover(&w, QPoint(300, 190));
    QCOMPARE(colour(w.Label2(2)), QColor(Qt::white));
    QCOMPARE(w.Label2(2)->toolTip(), QString("关闭"));
    QCOMPARE(w.Label2(1)->toolTip(), QString("最小化"));
    QCOMPARE(w.Label16(1)->toolTip(), QString("对程序进行相关设置，快捷键F9"));
}

void TestChrome::minimiseCloseAndWindowDrag()
{
    Form1 &w = h->w();
    // Any button on the background asks for a window move; labels do not.
    QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(300, 190));
    QTest::mousePress(&w, Qt::RightButton, {}, QPoint(300, 190));
    QTest::mousePress(&w, Qt::MiddleButton, {}, QPoint(300, 190));
    QTest::mousePress(w.Label12(0), Qt::LeftButton);
    QCOMPARE(w.windowDragRequests(), 3);

    QTest::mouseClick(w.Label2(1), Qt::RightButton);
    QVERIFY(w.windowState() & Qt::WindowMinimized);
    QCOMPARE(h->platform.term.count, 0);
    QTest::mouseClick(w.Label2(2), Qt::LeftButton);
    QCOMPARE(h->platform.term.count, 1);
}

void TestChrome::panelsOpenCentred()
{
    Form1 &w = h->w();
    w.ShowPanel(4);
    QVERIFY(w.kdmenu(4)->isVisible());
    // The settings link hides every panel before it opens its own.
    QTest::mousePress(w.Label16(1), Qt::LeftButton);
    QVERIFY(!w.kdmenu(4)->isVisible());
    Panel *p = w.kdmenu(1);
    QVERIFY(p->isVisible());
    QCOMPARE(p->pos(), QPoint((763 - p->width()) / 2, (537 - p->height()) / 2));
    QCOMPARE(p->size(), QSize(569, 313));
    QCOMPARE(w.kdmenu(0)->size(), QSize(337, 345));
    // Placed with another panel's size, as the edit panel is.
    w.ShowPanel(2, w.kdmenu(0)->size());
    QCOMPARE(w.kdmenu(2)->pos(), QPoint((763 - 337) / 2, (537 - 345) / 2));
    QCOMPARE(w.panelTitle(1)->text(), QString("相关设置"));
    QCOMPARE(w.panelTitle(1)->font().pointSizeF(), 14.25);
}

void TestChrome::panelDragAndClickToClose()
{
    Form1 &w = h->w();
    w.Check4->setChecked(true);
    w.Check5->setChecked(false);
    Panel *p = w.kdmenu(3);
    w.ShowPanel(3);
    const QPoint start = p->pos();
    QTest::mousePress(p, Qt::LeftButton, {}, QPoint(100, 250));
    QTest::mouseMove(p, QPoint(140, 270));
    QTest::mouseRelease(p, Qt::LeftButton, {}, QPoint(140, 270));
    QCOMPARE(p->pos(), start + QPoint(40, 20));
    QVERIFY(p->isVisible());
    // Opening again centres it anew.
    w.ShowPanel(3);
    QCOMPARE(p->pos(), start);

    // Both on: it closes when the drag ends.
    w.Check5->setChecked(true);
    QTest::mousePress(p, Qt::LeftButton, {}, QPoint(100, 250));
    QVERIFY(p->isVisible());
    QTest::mouseRelease(p, Qt::LeftButton, {}, QPoint(100, 250));
    QVERIFY(!p->isVisible());

    // Click-to-close alone hides at once, whichever button.
    w.Check4->setChecked(false);
    w.ShowPanel(3);
    QTest::mousePress(p, Qt::RightButton, {}, QPoint(100, 250));
    QVERIFY(!p->isVisible());
    // Both off: nothing happens.
    w.Check5->setChecked(false);
    w.ShowPanel(3);
    QTest::mousePress(p, Qt::LeftButton, {}, QPoint(100, 250));
    QTest::mouseRelease(p, Qt::LeftButton, {}, QPoint(100, 250));
    QVERIFY(p->isVisible());
    QCOMPARE(p->pos(), start);
}

void TestChrome::closeImagesAndOverlay()
{
    Form1 &w = h->w();
    for (int i : {0, 2, 3, 4}) {
        w.ShowPanel(i);
        QTest::mouseClick(w.x(i), Qt::LeftButton);
        QVERIFY(!w.kdmenu(i)->isVisible());
    }
    // The settings panel stays open while the address check fails.
    w.ShowPanel(1);
    w.Check2->setChecked(true);
    w.Sendmail->clear();
    QTest::mouseClick(w.x(1), Qt::LeftButton);
    QVERIFY(w.kdmenu(1)->isVisible());

    w.Picture5->show();
    QTest::mouseClick(w.Label23, Qt::LeftButton);
    QVERIFY(!w.Picture5->isVisible());
    w.Picture5->show();
    QTest::mousePress(w.Picture5, Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(!w.Picture5->isVisible());
    QCOMPARE(w.Label23->font().pointSize(), 36);
}

void TestChrome::iconsOnA1xScreen()
{
    // A label paints a 2x icon on a 1x screen from a scaled copy of it; the
    // window's labels hold that copy alone, and look the same, on or off.
    Form1 &w = h->w();
    QCOMPARE(w.devicePixelRatio(), 1.0);
    const struct {
        QLabel *label;
        const char *name;
        int size;
    } icons[] = {{w.Image2(3), "add", 48},    {w.Image2(1), "edit", 48},    {w.Image2(2), "clear", 48},
                 {w.Image2(4), "search", 48}, {w.Image2(5), "refresh", 48}, {w.Image2(6), "couriers", 48},
                 {w.Image2(7), "export", 48}, {w.x(1), "close", 20}};
    for (const auto &icon : icons) {
        QCOMPARE(icon.label->pixmap().devicePixelRatio(), 1.0);
        QCOMPARE(icon.label->pixmap().size(), QSize(icon.size, icon.size));
        QLabel twice(icon.label->parentWidget());
        twice.setPixmap(QPixmap::fromImage(bakedIcon(icon.name, 2)));
        twice.setAlignment(icon.label->alignment());
        twice.setGeometry(icon.label->geometry());
        for (bool on : {true, false}) {
            icon.label->setEnabled(on);
            twice.setEnabled(on);
            QVERIFY2(icon.label->grab().toImage() == twice.grab().toImage(), icon.name);
        }
        icon.label->setEnabled(true);
    }
}

void TestChrome::numericFilters()
{
    // The rule itself is tested in test_helpers; here the boxes that use it.
    Form1 &w = h->w();
    w.ShowPanel(2);
    w.Text4->setFocus();
    QTest::keyClicks(w.Text4, "12");
    QCOMPARE(w.Text4->text(), QString("12"));
    QTest::keyClicks(w.Text4, "a");
    QCOMPARE(w.Text4->text(), QString());
    QTest::keyClicks(w.Text4, "34");
    QCOMPARE(w.Text4->text(), QString("34"));
    // A letter-digit number, as the add panel takes it, stays to be edited.
    w.Text4->setText("SF1234567890123");
    QCOMPARE(w.Text4->text(), QString("SF1234567890123"));

    w.ShowPanel(3);
    w.Option1(1)->setChecked(true);
    w.Text7->setFocus();
    w.Text7->insert("毛衣");
    QTest::keyClicks(w.Text7, "abc");
    QCOMPARE(w.Text7->text(), QString("毛衣abc"));
    w.Text7->clear();
    w.Option1(0)->setChecked(true);
    QTest::keyClicks(w.Text7, "77x");
    QCOMPARE(w.Text7->text(), QString());
    QTest::keyClicks(w.Text7, "77");
    QCOMPARE(w.Text7->text(), QString("77"));
}

// Every panel and the window, in Chinese and in English, with the longest
// texts they are given at run time.
void TestChrome::everyTextFits()
{
    QStringList everywhere;
    for (const char *language : {"zh", "en"}) {
        if (QByteArray(language) == "en") {
            h.reset();
            QVERIFY(installTranslation(qApp, Language::English, QStringLiteral(PARCELIO_APP_DIR "/translations")));
            init();
        }
        Form1 &w = h->w();
        QVERIFY(h->passUpdateCheck());
        w.setStatus(ServiceText::PhoneNeeded());
        w.Command1(12)->setText(Parcelio::tr("检测出错,请查询您的单号是否正确"));
        for (const char *b : {"copyPhoneButton", "copyCodeButton", "pickedButton", "pasteSmsButton"})
            control<QPushButton>(w, QString::fromLatin1(b))->show();
        QStringList found;
        for (int i = 0; i < 5; ++i) {
            w.hideAllPanels();
            w.ShowPanel(i);
            // Painted first, as the user sees it: a caption fits itself then.
            const QPixmap painted = w.grab();
            const QString shot = qEnvironmentVariable("PARCELIO_SHOTS");
            if (!shot.isEmpty())
                painted.save(QStringLiteral("%1/%2-panel%3.png").arg(shot, language).arg(i));
            for (const QString &f : notFitting(&w))
                if (!found.contains(f))
                    found << f;
        }
        for (const QString &f : found)
            everywhere << QString::fromLatin1(language) + QStringLiteral(": ") + f;
    }
    QVERIFY2(everywhere.isEmpty(), qPrintable(everywhere.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestChrome)
#include "test_chrome.moc"
