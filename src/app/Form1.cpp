#include "app/Form1.h"
#include "store/Store.h"
#include "app/Features.h"
#include "app/Desktop.h"
#include "book/Archive.h"
#include "book/PickupLine.h"
#include "watch/BookWatchPanel.h"
#include "tracking/Client.h"
#include "app/Balloon.h"
#include "app/Layout.h"
#include "app/Tr.h"
#include "book/ParcelListModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>

const char *const Form1::Sentinel = "******************";
const char *const Form1::RefreshEntry = QT_TRANSLATE_NOOP("Parcelio", "刷新快递列表");

using namespace layout;

namespace {
const QColor Silver(192, 192, 192);
} // namespace

Form1::Form1(const QString &appDir_, const Config &config, const Platform &platform_, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Window),
      appDir(appDir_),
      resourceDir(appDir_),
      cfg(config),
      platform(platform_),
      heldStore(std::make_unique<Store>()),
      db(*heldStore)
{
    parcelioResources();
    // 微软雅黑 is not on Linux; name the CJK face we ship with so the font
    // lookup goes straight to it.
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"),
                               {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    // The same file has a fixed-width face: one font file serves the window.
    QFont::insertSubstitutions(QStringLiteral("Consolas"), {QStringLiteral("WenQuanYi Micro Hei Mono"),
                                                            QStringLiteral("DejaVu Sans Mono")});
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Parcelio::tr("Parcelio - Orlo全新版"));
    setFixedSize(twips(11445), twips(8055));
    setMouseTracking(true);
    setAutoFillBackground(true);
    QFont base = yahei(9);
    setFont(base);

    const struct {
        QTimer **timer;
        const char *name;
        int ms;
    } timers[] = {{&Timer1, "Timer1", 100},  {&Timer3, "Timer3", 1000},  {&Timer4, "Timer4", 1000},
                  {&Timer5, "Timer5", 1000}, {&Timer6, "Timer6", 60000}, {&Timer7, "Timer7", 1000}};
    for (const auto &t : timers) {
        *t.timer = named<QTimer>(this, QString::fromLatin1(t.name));
        (*t.timer)->setInterval(t.ms);
    }

    buildWindow();
    // The settings panel holds the switches every handler reads, so it is
    // made now; the other panels wait until one of them is first opened.
    buildSettingsPanel();
    features().bookWatchPanel();
    // The station line and the tray's switches take their places now.
    features().pickupLine();
    features().desktop();

    // The overlay for enlarged text covers the whole window when shown.
    Picture5 = placed<Panel>(this, QStringLiteral("Picture5"), rect());
    Picture5->setAutoFillBackground(true);
    Label23 = label(Picture5, QStringLiteral("Label23"), Parcelio::tr("视力"), Picture5->rect());
    Label23->setFont(yahei(36));
    Label23->setWordWrap(true);
    Label23->setAlignment(Qt::AlignCenter);
    Picture5->hide();

    // Presses on these containers are theirs: they neither move the window
    // nor drag or close the panel around them.
    for (QWidget *box : std::initializer_list<QWidget *>{Picture7, Frame1, Frame2, Frame4, Frame6})
        box->setAttribute(Qt::WA_NoMousePropagation);

    connectHandlers();
    // Function keys must reach the window whatever control has the focus.
    qApp->installEventFilter(this);
}

void Form1::buildPanels()
{
    if (panelsBuilt)
        return;
    panelsBuilt = true;
    // Each panel is made, and wired to its handlers, in its subsystem's
    // folder: src/tracking/AddPanel.cpp, src/book/Edit.cpp,
    // src/book/Search.cpp, src/couriers/Directory.cpp.
    buildAddPanel();
    kdmenu(1)->raise(); // the panels keep their stacking order 0 to 4
    buildEditPanel();
    features().archive().buildControls();
    buildSearchPanel();
    buildCourierPanel();
    Picture5->raise(); // the enlarged text covers every panel
    for (int n : {0, 2, 3, 4})
        connectPanel(n);
    connectCommands();
}

Form1::~Form1()
{
    qApp->removeEventFilter(this);
}

Features &Form1::features()
{
    if (!features_)
        features_ = std::make_unique<Features>(*this);
    return *features_;
}

void Form1::hostControl(HostedPlace place, QWidget *control)
{
    // The settings panel's title row has room right of its caption; the
    // edit panel's beside its short caption; the settings panel's one free
    // corner is under the clock button. The add panel's phone row sits under
    // the tip, whose text ends above it: each panel keeps its size and every
    // other control its place.
    // A negative left counts from the panel's right edge.
    const struct {
        HostedPlace place;
        int panel;
        QRect at;
    } places[] = {{HostedPlace::SettingsTitleLeft, 1, QRect(150, 12, 196, 24)},
                  {HostedPlace::SettingsTitleRight, 1, QRect(352, 12, 180, 24)},
                  {HostedPlace::SettingsUnderClock, 1, QRect(14, 290, 112, 20)},
                  {HostedPlace::EditTitle, 2, QRect(-104, 10, 66, 24)},
                  {HostedPlace::AddPhoneLabel, 0, QRect(20, 306, 76, 24)},
                  {HostedPlace::AddPhoneBox, 0, QRect(100, 302, 70, 28)},
                  {HostedPlace::AddPhoneHint, 0, QRect(176, 306, 140, 24)},
                  {HostedPlace::EditPhoneLabel, 2, QRect(20, 268, 76, 24)},
                  {HostedPlace::EditPhoneBox, 2, QRect(100, 264, 70, 28)}};
    for (const auto &p : places) {
        if (p.place != place)
            continue;
        Panel *panel = kdmenu(p.panel);
        control->setParent(panel);
        control->setGeometry(p.at.translated(p.at.x() < 0 ? panel->width() : 0, 0));
    }
}

Panel *Form1::makePanel(int index, const QString &title, int widthTw, int heightTw)
{
    auto *p = named<Panel>(this, idx("kdmenu", index));
    p->resize(twips(widthTw), twips(heightTw));
    p->setFrameShape(QFrame::Box);
    p->setFrameShadow(QFrame::Plain);
    p->setAutoFillBackground(true);
    p->setMouseTracking(true);
    auto *t = label(p, idx("panelTitle", index), title, QRect(14, 8, p->width() - 60, 30));
    t->setFont(yahei(14.25));
    panelTitle.set(index, t);
    auto *close = label(p, idx("x", index), QString(), QRect(p->width() - 30, 10, 20, 20));
    showIcon(close, "close");
    close->setCursor(Qt::PointingHandCursor);
    x.set(index, close);
    kdmenu.set(index, p);
    // A panel made on first opening comes after the skin: it is dressed now.
    if (platform.skin)
        platform.skin->skinPanel(p);
    // Parked outside the visible area until a command opens it.
    p->move(-10000, -10000);
    p->hide();
    return p;
}

QPushButton *Form1::commandButton(QWidget *parent, int index, const QString &text, QRect geometry)
{
    auto *b = placed<QPushButton>(parent, idx("Command1", index), geometry, text);
    Command1.set(index, b);
    return b;
}

void Form1::buildWindow()
{
    Label26 = label(this, QStringLiteral("Label26"), QStringLiteral("Parcelio"), tw(240, 140, 2400, 330));
    Label26->setFont(yahei(11, true));
    setTextColour(Label26, Qt::white);

    const struct {
        int i;
        const char *text;
        int left;
    } links[] = {{1, QT_TRANSLATE_NOOP("Parcelio", "设置"), 7560},
                 {2, QT_TRANSLATE_NOOP("Parcelio", "WEB网页版"), 8280},
                 {0, QT_TRANSLATE_NOOP("Parcelio", "官方网站"), 9360}};
    for (const auto &l : links) {
        // Fixed sizes: measuring text at start-up costs more than it saves.
        auto *w = label(this, idx("Label16", l.i), Parcelio::tr(l.text),
                        QRect(twips(l.left), twips(150), l.i == 2 ? 68 : 52, 18));
        w->setCursor(Qt::PointingHandCursor);
        w->setMouseTracking(true);
        setTextColour(w, Silver);
        Label16.set(l.i, w);
    }
    Label16(1)->setToolTip(Parcelio::tr("对程序进行相关设置，快捷键F9"));

    auto *minimise = label(this, QStringLiteral("Label2(1)"), QStringLiteral("-"), tw(10200, 0, 615, 495));
    QFont consolas(QStringLiteral("Consolas"));
    consolas.setPointSize(18);
    minimise->setFont(consolas);
    minimise->setToolTip(Parcelio::tr("最小化"));
    auto *close = label(this, QStringLiteral("Label2(2)"), QStringLiteral("x"), tw(10800, 60, 615, 495));
    consolas.setPointSize(12);
    close->setFont(consolas);
    close->setToolTip(Parcelio::tr("关闭"));
    for (auto *w : {minimise, close}) {
        w->setAlignment(Qt::AlignCenter);
        w->setCursor(Qt::PointingHandCursor);
        w->setMouseTracking(true);
        setTextColour(w, Silver);
    }
    Label2.set(1, minimise);
    Label2.set(2, close);

    // The seven menu icons.
    const struct {
        int i;
        const char *icon;
        const char *tip;
    } icons[] = {{3, "add", QT_TRANSLATE_NOOP("Parcelio", "添加新快递，快捷键：F4")},
                 {1, "edit", QT_TRANSLATE_NOOP("Parcelio", "编辑当前快递单号，快捷键：F5")},
                 {2, "clear", QT_TRANSLATE_NOOP("Parcelio", "清空快递列表，请谨慎操作，快捷键：F6")},
                 {4, "search", QT_TRANSLATE_NOOP("Parcelio", "搜索当前数据库中的快递，快捷键：F7")},
                 {5, "refresh", QT_TRANSLATE_NOOP("Parcelio", "刷新当前快递列表，快捷键：F8")},
                 {6, "couriers", QT_TRANSLATE_NOOP("Parcelio", "打开快递列表，快捷键：F12")},
                 {7, "export", QT_TRANSLATE_NOOP("Parcelio", "将当前快递数据导出到计算机中，快捷键：F10")}};
    int left = 20;
    for (const auto &ic : icons) {
        auto *w = label(this, idx("Image2", ic.i), QString(), QRect(left, 44, 56, 56));
        showIcon(w, ic.icon);
        w->setAlignment(Qt::AlignCenter);
        w->setToolTip(Parcelio::tr(ic.tip));
        w->setCursor(Qt::PointingHandCursor);
        Image2.set(ic.i, w);
        left += 66;
    }

    auto *listCaption =
        label(this, QStringLiteral("Label1"), Parcelio::tr("我的快递："), QRect(20, 124, 70, 24));
    setTextColour(listCaption, Qt::white);
    Text1 = placed<QComboBox>(this, QStringLiteral("Text1"), QRect(92, 120, 250, 30));
    Text1->setEditable(false);
    // Entries keep their row ids and are filled in one step (book/).
    Text1->setModel(new ParcelListModel(Text1));

    // Summary: captions and values in two rows.
    const struct {
        int i;
        const char *text;
        int x;
        int y;
        int w;
    } summary[] = {{0, QT_TRANSLATE_NOOP("Parcelio", "快件状态"), 370, 112, 64},
                   {2, QT_TRANSLATE_NOOP("Parcelio", "未查询"), 436, 112, 110},
                   {1, QT_TRANSLATE_NOOP("Parcelio", "更新状态"), 556, 112, 64},
                   {3, QT_TRANSLATE_NOOP("Parcelio", "未查询"), 622, 112, 120},
                   {4, QT_TRANSLATE_NOOP("Parcelio", "运送时间"), 370, 144, 64},
                   {5, QT_TRANSLATE_NOOP("Parcelio", "未查询"), 436, 144, 110},
                   {6, QT_TRANSLATE_NOOP("Parcelio", "快递公司"), 556, 144, 64},
                   {7, QT_TRANSLATE_NOOP("Parcelio", "未查询"), 622, 144, 120}};
    for (const auto &s : summary) {
        auto *w = label(this, idx("Label12", s.i), Parcelio::tr(s.text), QRect(s.x, s.y, s.w, 26));
        setTextColour(w, Qt::white);
        if (s.i == 2 || s.i == 3 || s.i == 5 || s.i == 7) {
            w->setFont(yahei(10, true));
        }
        Label12.set(s.i, w);
    }
    for (int i : {4, 5})
        Label12(i)->setToolTip(Parcelio::tr("从快递接单时间算起"));

    Picture7 = placed<QFrame>(this, QStringLiteral("Picture7"), tw(120, 3120, 11055, 4335));
    Picture7->setAutoFillBackground(true);
    QPalette white = Picture7->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture7->setPalette(white);

    ListView1 = placed<ListView>(this, QStringLiteral("ListView1"), tw(360, 3360, 10815, 3855));
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({QStringLiteral("Num"), Parcelio::tr("时间"),
                                Parcelio::tr("物流进度 ( 双击列表可复制单条物流进度 )")});
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setColumnWidth(0, 60);
    ListView1->setColumnWidth(1, 140);
    ListView1->setColumnWidth(2, 500);

    AniGIF1 = placed<BusyIndicator>(this, QStringLiteral("AniGIF1"), QRect(350, 330, 64, 64));
    AniGIF1->hide();

    // Status bar.
    const struct {
        int i;
        const char *text;
        int left;
        int width;
        Qt::Alignment align;
    } bar[] = {{0, QT_TRANSLATE_NOOP("Parcelio", "查询提示："), 120, 900, Qt::AlignLeft},
               // Wider than its design width so that the longest messages fit.
               {2, QT_TRANSLATE_NOOP("Parcelio", "程序检测更新中..."), 2040, 4600, Qt::AlignLeft},
               {3, QT_TRANSLATE_NOOP("Parcelio", "版本号"), 6720, 900, Qt::AlignHCenter},
               {4, QT_TRANSLATE_NOOP("Parcelio", "Tesmar出品"), 7680, 1740, Qt::AlignHCenter},
               {5, "Time", 9360, 2055, Qt::AlignHCenter}};
    for (const auto &b : bar) {
        auto *w = label(this, idx("Label11", b.i), Parcelio::tr(b.text),
                        QRect(twips(b.left), twips(7650) - 2, twips(b.width), 18));
        w->setAlignment(b.align | Qt::AlignVCenter);
        setTextColour(w, Qt::white);
        Label11.set(b.i, w);
    }
    Label11(4)->setCursor(Qt::PointingHandCursor);
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    // Title strip.
    QLinearGradient band(0, 0, 0, 36);
    band.setColorAt(0, palette().color(QPalette::Window).lighter(135));
    band.setColorAt(1, palette().color(QPalette::Window).lighter(110));
    p.fillRect(QRect(0, 0, width(), 36), band);
    if (loaded) {
        // The one-pixel frame: top, left, bottom and right edges.
        const int W = width(), H = height();
        p.setPen(Qt::black);
        p.drawLine(0, 0, W, 0);
        p.drawLine(0, 0, 0, H);
        p.drawLine(W, H - 1, 0, H - 1);
        p.drawLine(W - 1, 0, W - 1, H);
    }
}
