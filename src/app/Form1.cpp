#include "app/Form1.h"
#include "app/Balloon.h"
#include "book/ParcelListModel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QHeaderView>
#include <QNetworkAccessManager>
#include <QPainter>
#include <QSvgRenderer>

const char *const Form1::Sentinel = "******************";
const char *const Form1::RefreshEntry = "刷新快递列表";

namespace {
const QColor Silver(192, 192, 192);

QRect tw(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

QPixmap svgPixmap(const QString &resource, QSize size)
{
    QSvgRenderer renderer(resource);
    QPixmap pm(size * 2);
    pm.setDevicePixelRatio(2);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    renderer.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

QFont yahei(double points, bool bold = false)
{
    QFont f(QStringLiteral("微软雅黑"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

template <typename T, typename... Args>
T *named(QWidget *parent, const QString &name, Args &&...args)
{
    auto *w = new T(std::forward<Args>(args)..., parent);
    w->setObjectName(name);
    return w;
}

Label *label(QWidget *parent, const QString &name, const QString &text, QRect geo)
{
    auto *l = named<Label>(parent, name, text);
    l->setGeometry(geo);
    return l;
}

QString idx(const char *base, int i) { return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i); }
} // namespace

Form1::Form1(const QString &appDir_, const Config &config, const Platform &platform_,
             QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Window), appDir(appDir_), resourceDir(appDir_), cfg(config),
      platform(platform_)
{
    parcelioResources();
    // 微软雅黑 is not on Linux; name the CJK face we ship with so the font
    // lookup goes straight to it.
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"),
                               {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    // The same file has a fixed-width face: one font file serves the window.
    QFont::insertSubstitutions(QStringLiteral("Consolas"),
                               {QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("DejaVu Sans Mono")});
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Parcelio - Orlo全新版"));
    setFixedSize(twips(11445), twips(8055));
    setMouseTracking(true);
    setAutoFillBackground(true);
    QFont base = yahei(9);
    setFont(base);

    Timer1 = named<QTimer>(this, QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    Timer3 = named<QTimer>(this, QStringLiteral("Timer3"));
    Timer3->setInterval(1000);
    Timer4 = named<QTimer>(this, QStringLiteral("Timer4"));
    Timer4->setInterval(1000);
    Timer5 = named<QTimer>(this, QStringLiteral("Timer5"));
    Timer5->setInterval(1000);
    Timer6 = named<QTimer>(this, QStringLiteral("Timer6"));
    Timer6->setInterval(60000);
    Timer7 = named<QTimer>(this, QStringLiteral("Timer7"));
    Timer7->setInterval(1000);

    buildWindow();
    // The settings panel holds the switches every handler reads, so it is
    // made now; the other panels wait until one of them is first opened.
    buildSettingsPanel();
    buildBookWatchControls();

    // The overlay for enlarged text covers the whole window when shown.
    Picture5 = named<Panel>(this, QStringLiteral("Picture5"));
    Picture5->setGeometry(rect());
    Picture5->setAutoFillBackground(true);
    Label23 = label(Picture5, QStringLiteral("Label23"), QStringLiteral("视力"), Picture5->rect());
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
    buildAddPanel();
    kdmenu(1)->raise(); // the panels keep their stacking order 0 to 4
    buildEditPanel();
    buildSearchPanel();
    buildCourierPanel();
    Picture3->setAttribute(Qt::WA_NoMousePropagation); // as the other containers
    LockHeader(ListView2);
    ListView2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Picture5->raise(); // the enlarged text covers every panel
    connectPanelHandlers();
}

Form1::~Form1()
{
    qApp->removeEventFilter(this);
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
    close->setPixmap(svgPixmap(QStringLiteral(":/icons/close.svg"), QSize(20, 20)));
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

void Form1::buildWindow()
{
    Label26 = label(this, QStringLiteral("Label26"), QStringLiteral("Parcelio"), tw(240, 140, 2400, 330));
    Label26->setFont(yahei(11, true));
    setTextColour(Label26, Qt::white);

    const struct { int i; const char *text; int left; } links[] = {
        {1, "设置", 7560}, {2, "WEB网页版", 8280}, {0, "官方网站", 9360}};
    for (const auto &l : links) {
        // Fixed sizes: measuring text at start-up costs more than it saves.
        auto *w = label(this, idx("Label16", l.i), QString::fromUtf8(l.text),
                        QRect(twips(l.left), twips(150), l.i == 2 ? 68 : 52, 18));
        w->setCursor(Qt::PointingHandCursor);
        w->setMouseTracking(true);
        setTextColour(w, Silver);
        Label16.set(l.i, w);
    }
    Label16(1)->setToolTip(QStringLiteral("对程序进行相关设置，快捷键F9"));

    auto *minimise = label(this, QStringLiteral("Label2(1)"), QStringLiteral("-"), tw(10200, 0, 615, 495));
    QFont consolas(QStringLiteral("Consolas"));
    consolas.setPointSize(18);
    minimise->setFont(consolas);
    minimise->setToolTip(QStringLiteral("最小化"));
    auto *close = label(this, QStringLiteral("Label2(2)"), QStringLiteral("x"), tw(10800, 60, 615, 495));
    consolas.setPointSize(12);
    close->setFont(consolas);
    close->setToolTip(QStringLiteral("关闭"));
    for (auto *w : {minimise, close}) {
        w->setAlignment(Qt::AlignCenter);
        w->setCursor(Qt::PointingHandCursor);
        w->setMouseTracking(true);
        setTextColour(w, Silver);
    }
    Label2.set(1, minimise);
    Label2.set(2, close);

    // The seven menu icons.
    const struct { int i; const char *icon; const char *tip; } icons[] = {
        {3, "add", "添加新快递，快捷键：F4"},
        {1, "edit", "编辑当前快递单号，快捷键：F5"},
        {2, "clear", "清空快递列表，请谨慎操作，快捷键：F6"},
        {4, "search", "搜索当前数据库中的快递，快捷键：F7"},
        {5, "refresh", "刷新当前快递列表，快捷键：F8"},
        {6, "couriers", "打开快递列表，快捷键：F12"},
        {7, "export", "将当前快递数据导出到计算机中，快捷键：F10"}};
    int left = 20;
    for (const auto &ic : icons) {
        auto *w = label(this, idx("Image2", ic.i), QString(), QRect(left, 44, 56, 56));
        w->setPixmap(svgPixmap(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(ic.icon)),
                               QSize(48, 48)));
        w->setAlignment(Qt::AlignCenter);
        w->setToolTip(QString::fromUtf8(ic.tip));
        w->setCursor(Qt::PointingHandCursor);
        Image2.set(ic.i, w);
        left += 66;
    }

    auto *listCaption = label(this, QStringLiteral("Label1"), QStringLiteral("我的快递："), QRect(20, 124, 70, 24));
    setTextColour(listCaption, Qt::white);
    Text1 = named<QComboBox>(this, QStringLiteral("Text1"));
    Text1->setGeometry(92, 120, 250, 30);
    Text1->setEditable(false);
    // Entries keep their row ids and are filled in one step (book/).
    Text1->setModel(new ParcelListModel(Text1));

    // Summary: captions and values in two rows.
    const struct { int i; const char *text; int x; int y; int w; } summary[] = {
        {0, "快件状态", 370, 112, 64}, {2, "未查询", 436, 112, 110},
        {1, "更新状态", 556, 112, 64}, {3, "未查询", 622, 112, 120},
        {4, "运送时间", 370, 144, 64}, {5, "未查询", 436, 144, 110},
        {6, "快递公司", 556, 144, 64}, {7, "未查询", 622, 144, 120}};
    for (const auto &s : summary) {
        auto *w = label(this, idx("Label12", s.i), QString::fromUtf8(s.text), QRect(s.x, s.y, s.w, 26));
        setTextColour(w, Qt::white);
        if (s.i == 2 || s.i == 3 || s.i == 5 || s.i == 7) {
            w->setFont(yahei(10, true));
        }
        Label12.set(s.i, w);
    }
    for (int i : {4, 5})
        Label12(i)->setToolTip(QStringLiteral("从快递接单时间算起"));

    Picture7 = named<QFrame>(this, QStringLiteral("Picture7"));
    Picture7->setGeometry(tw(120, 3120, 11055, 4335));
    Picture7->setAutoFillBackground(true);
    QPalette white = Picture7->palette();
    white.setColor(QPalette::Window, Qt::white);
    Picture7->setPalette(white);

    ListView1 = named<ListView>(this, QStringLiteral("ListView1"));
    ListView1->setGeometry(tw(360, 3360, 10815, 3855));
    ListView1->setColumnCount(3);
    ListView1->setHeaderLabels({QStringLiteral("Num"), QStringLiteral("时间"),
                                QStringLiteral("物流进度 ( 双击列表可复制单条物流进度 )")});
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setColumnWidth(0, 60);
    ListView1->setColumnWidth(1, 140);
    ListView1->setColumnWidth(2, 500);

    AniGIF1 = named<BusyIndicator>(this, QStringLiteral("AniGIF1"));
    AniGIF1->setGeometry(350, 330, 64, 64);
    AniGIF1->hide();

    // Status bar.
    const struct { int i; const char *text; int left; int width; Qt::Alignment align; } bar[] = {
        {0, "查询提示：", 120, 900, Qt::AlignLeft},
        // Wider than its design width so that the longest messages fit.
        {2, "程序检测更新中...", 2040, 4600, Qt::AlignLeft},
        {3, "版本号", 6720, 900, Qt::AlignHCenter},
        {4, "Tesmar出品", 7680, 1740, Qt::AlignHCenter},
        {5, "Time", 9360, 2055, Qt::AlignHCenter}};
    for (const auto &b : bar) {
        auto *w = label(this, idx("Label11", b.i), QString::fromUtf8(b.text),
                        QRect(twips(b.left), twips(7650) - 2, twips(b.width), 18));
        w->setAlignment(b.align | Qt::AlignVCenter);
        setTextColour(w, Qt::white);
        Label11.set(b.i, w);
    }
    Label11(4)->setCursor(Qt::PointingHandCursor);
}

void Form1::buildAddPanel()
{
    Panel *p = makePanel(0, QStringLiteral("添加新快递"), 5055, 5175);
    label(p, QStringLiteral("Label3"), QStringLiteral("快递单号："), QRect(20, 62, 76, 24));
    Text3 = named<QComboBox>(p, QStringLiteral("Text3"));
    Text3->setEditable(true);
    Text3->setInsertPolicy(QComboBox::NoInsert);
    Text3->setGeometry(100, 58, 214, 28);
    label(p, QStringLiteral("Label4"), QStringLiteral("快递物品："), QRect(20, 102, 76, 24));
    Text2 = named<QLineEdit>(p, QStringLiteral("Text2"));
    Text2->setGeometry(100, 98, 214, 28);
    Label2.set(0, label(p, QStringLiteral("Label2(0)"), QStringLiteral("快递公司："), QRect(20, 142, 76, 24)));
    auto *company = named<QPushButton>(p, QStringLiteral("Command1(12)"), QStringLiteral("请选择快递公司"));
    company->setGeometry(100, 138, 152, 30);
    Command1.set(12, company);
    Command2 = named<QPushButton>(p, QStringLiteral("Command2"), QStringLiteral("刷新"));
    Command2->setGeometry(258, 138, 56, 30);
    auto *query = named<QPushButton>(p, QStringLiteral("Command1(13)"), QStringLiteral("开始查询"));
    query->setGeometry(100, 180, 214, 34);
    Command1.set(13, query);
    Label24 = label(p, QStringLiteral("Label24"),
                    QStringLiteral("友情提示：自动识别快递功能偶尔会因为使用人数过多而变得不稳定，"
                                   "您可进行多次刷新尝试，如果仍不可用请手动选择快递公司或稍后再试，"
                                   "第一版本可能识别率不是特别高，后续版本我们会继续改进。"),
                    QRect(20, 226, p->width() - 40, 104));
    Label24->setWordWrap(true);
    Label24->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(Label24, QColor(110, 110, 110));
}

void Form1::buildSettingsPanel()
{
    Panel *p = makePanel(1, QStringLiteral("相关设置"), 8535, 4695);
    Frame2 = named<QGroupBox>(p, QStringLiteral("Frame2"));
    Frame2->setGeometry(14, 46, 262, 196);
    const struct { QCheckBox **box; const char *name; const char *text; } checks[] = {
        {&Check4, "Check4", "子窗口是否支持拖动"},
        {&Check5, "Check5", "单击子窗口自动关闭"},
        {&Check3, "Check3", "快递更新是否启用语音提醒"},
        {&Check6, "Check6", "是否启用气泡提示信息"},
        {&Check7, "Check7", "刷新快递列表后默认查询第一个"},
        {&Check8, "Check8", "是否启用快递公司自动识别功能"}};
    int top = 12;
    for (const auto &c : checks) {
        *c.box = named<QCheckBox>(Frame2, QString::fromLatin1(c.name), QString::fromUtf8(c.text));
        (*c.box)->setGeometry(12, top, 240, 26);
        top += 30;
    }

    Frame1 = named<QGroupBox>(p, QStringLiteral("Frame1"), QStringLiteral("      是否启用邮件通知功能"));
    Frame1->setGeometry(290, 46, 266, 80);
    Check2 = named<QCheckBox>(Frame1, QStringLiteral("Check2"));
    Check2->setGeometry(6, 0, 20, 20);
    Sendmail = named<QLineEdit>(Frame1, QStringLiteral("Sendmail"), QStringLiteral("无"));
    Sendmail->setGeometry(12, 34, 242, 28);
    Sendmail->setEnabled(false);

    Frame4 = named<QGroupBox>(p, QStringLiteral("Frame4"), QStringLiteral("定时查询功能"));
    Frame4->setGeometry(290, 136, 266, 106);
    label(Frame4, QStringLiteral("Label5"), QStringLiteral("请设定时间："), QRect(10, 30, 84, 24));
    Combo2 = named<QComboBox>(Frame4, QStringLiteral("Combo2"));
    Combo2->setGeometry(94, 28, 56, 26);
    label(Frame4, QStringLiteral("Label6"), QStringLiteral("时"), QRect(154, 30, 16, 24));
    Combo3 = named<QComboBox>(Frame4, QStringLiteral("Combo3"));
    Combo3->setGeometry(172, 28, 56, 26);
    label(Frame4, QStringLiteral("Label7"), QStringLiteral("分"), QRect(232, 30, 16, 24));
    auto *timed = named<QPushButton>(Frame4, QStringLiteral("Command1(18)"), QStringLiteral("开始定时"));
    timed->setGeometry(10, 66, 116, 30);
    Command1.set(18, timed);
    auto *toLoop = named<QPushButton>(Frame4, QStringLiteral("Command1(17)"), QStringLiteral("循环查询"));
    toLoop->setGeometry(138, 66, 116, 30);
    Command1.set(17, toLoop);

    Frame6 = named<QGroupBox>(p, QStringLiteral("Frame6"), QStringLiteral("循环查询功能"));
    Frame6->setGeometry(Frame4->geometry());
    label(Frame6, QStringLiteral("Label8"), QStringLiteral("每隔"), QRect(10, 30, 32, 24));
    Combo4 = named<QComboBox>(Frame6, QStringLiteral("Combo4"));
    Combo4->setGeometry(44, 28, 64, 26);
    label(Frame6, QStringLiteral("Label9"), QStringLiteral("分钟自动进行一次查询"), QRect(112, 30, 150, 24));
    auto *loop = named<QPushButton>(Frame6, QStringLiteral("Command1(16)"), QStringLiteral("开始循环"));
    loop->setGeometry(10, 66, 116, 30);
    Command1.set(16, loop);
    auto *toTimed = named<QPushButton>(Frame6, QStringLiteral("Command1(15)"), QStringLiteral("定时查询"));
    toTimed->setGeometry(138, 66, 116, 30);
    Command1.set(15, toTimed);
    Frame6->hide();

    Command3 = named<QPushButton>(p, QStringLiteral("Command3"), QStringLiteral("时间校对"));
    Command3->setGeometry(14, 256, 110, 32);
    Label22 = label(p, QStringLiteral("Label22"), QStringLiteral("定制您的专属快递邮件推广服务"),
                    QRect(290, 262, 266, 24));
    Label22->setCursor(Qt::PointingHandCursor);
    setTextColour(Label22, QColor(0, 102, 204));
}

void Form1::buildEditPanel()
{
    Panel *p = makePanel(2, QStringLiteral("单号操作"), 5295, 4095);
    label(p, QStringLiteral("Label10"), QStringLiteral("快递单号："), QRect(20, 56, 76, 24));
    Text4 = named<QLineEdit>(p, QStringLiteral("Text4"));
    Text4->setGeometry(100, 52, 230, 28);
    label(p, QStringLiteral("Label13"), QStringLiteral("快递公司："), QRect(20, 94, 76, 24));
    auto *company = named<QPushButton>(p, QStringLiteral("Command1(8)"), QStringLiteral("请选择快递公司"));
    company->setGeometry(100, 90, 230, 30);
    Command1.set(8, company);
    label(p, QStringLiteral("Label14"), QStringLiteral("快递物品："), QRect(20, 134, 76, 24));
    Text6 = named<QLineEdit>(p, QStringLiteral("Text6"));
    Text6->setGeometry(100, 130, 230, 28);
    const struct { int i; const char *text; int left; } buttons[] = {
        {9, "修改", 20}, {10, "复制", 124}, {11, "删除", 228}};
    for (const auto &b : buttons) {
        auto *w = named<QPushButton>(p, idx("Command1", b.i), QString::fromUtf8(b.text));
        w->setGeometry(b.left, 176, 100, 32);
        Command1.set(b.i, w);
    }
    Command5 = named<QPushButton>(p, QStringLiteral("Command5"), QStringLiteral("快递数据清空"));
    Command5->setGeometry(20, 220, 308, 32);
}

void Form1::buildSearchPanel()
{
    Panel *p = makePanel(3, QStringLiteral("搜索快递"), 4455, 4335);
    auto *field = new QButtonGroup(p);
    auto *match = new QButtonGroup(p);
    const struct { ControlArray<QRadioButton> *arr; QButtonGroup *group; const char *base; int i; const char *text; int x; int y; } opts[] = {
        {&Option1, field, "Option1", 0, "使用单号查询", 20, 56},
        {&Option1, field, "Option1", 1, "使用物品名称查询", 148, 56},
        {&Option2, match, "Option2", 0, "精准查询", 20, 92},
        {&Option2, match, "Option2", 1, "模糊查询", 148, 92}};
    for (const auto &o : opts) {
        auto *r = named<QRadioButton>(p, idx(o.base, o.i), QString::fromUtf8(o.text));
        r->setGeometry(o.x, o.y, 130, 26);
        o.group->addButton(r);
        o.arr->set(o.i, r);
    }
    Text7 = named<QLineEdit>(p, QStringLiteral("Text7"));
    Text7->setGeometry(20, 134, p->width() - 40, 30);
    auto *go = named<QPushButton>(p, QStringLiteral("Command1(14)"), QStringLiteral("开始搜索"));
    go->setGeometry(20, 182, p->width() - 40, 36);
    Command1.set(14, go);
}

void Form1::buildCourierPanel()
{
    Panel *p = makePanel(4, QStringLiteral("快递公司列表"), 9015, 6615);
    Label17 = panelTitle(4);
    Label17->setObjectName(QStringLiteral("Label17"));
    Label18 = label(p, QStringLiteral("Label18"), QStringLiteral("搜索："), QRect(20, 50, 44, 26));
    Text8 = named<QLineEdit>(p, QStringLiteral("Text8"));
    Text8->setGeometry(66, 48, 210, 28);
    Command4 = named<QPushButton>(p, QStringLiteral("Command4"), QStringLiteral("刷新"));
    Command4->setGeometry(284, 47, 64, 30);

    Picture3 = named<QFrame>(p, QStringLiteral("Picture3"));
    Picture3->setGeometry(10, 84, p->width() - 20, 24);
    Picture3->setMouseTracking(true);
    Picture3->installEventFilter(this);
    Label19 = label(Picture3, QStringLiteral("Label19"), QStringLiteral("常用："), QRect(10, 2, 44, 20));
    const struct { int i; const char *text; int left; } picks[] = {
        {0, "顺丰快递", 840}, {1, "申通快递", 1800}, {2, "中通", 2760}, {3, "圆通", 3840},
        {4, "韵达", 5040}, {5, "全峰", 5640}, {6, "天天", 6240}, {7, "宅急送", 7440},
        {8, "汇通", 6840}, {9, "京东", 4440}, {10, "EMS", 3360}};
    for (const auto &q : picks) {
        const int chars = QString::fromUtf8(q.text).size();
        auto *w = label(Picture3, idx("Label20", q.i), QString::fromUtf8(q.text),
                        QRect(twips(q.left), 2, q.i == 10 ? 34 : chars * 14 + 2, 20));
        w->setCursor(Qt::PointingHandCursor);
        w->setMouseTracking(true);
        Label20.set(q.i, w);
    }

    ListView2 = named<ListView>(p, QStringLiteral("ListView2"));
    ListView2->setGeometry(10, 114, p->width() - 20, p->height() - 124);
    ListView2->setFont(yahei(10.5));
    ListView2->setColumnCount(3);
    ListView2->setHeaderLabels({QStringLiteral("序号"), QStringLiteral("快递公司（ 双击选择 ）"),
                                QStringLiteral("公司电话（ 右键复制 ）")});
    ListView2->setRootIsDecorated(false);
    ListView2->setUniformRowHeights(true);
    ListView2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView2->setColumnWidth(0, 96);
    ListView2->setColumnWidth(1, 180);
    ListView2->setColumnWidth(2, 200);
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
