#pragma once
// The main window. It owns the controls of its own panels, the shared state
// and their handlers; each panel is made, wired and handled in the folder of
// the subsystem it belongs to (src/app, src/settings, src/tracking, src/book,
// src/couriers, src/watch, src/net). What the window has beyond its own
// panels is made through Features (app/Features.h).
#include "Version.h"
#include "app/Config.h"
#include "app/ControlArray.h"
#include "app/Tr.h"
#include "app/Widgets.h"
#include "net/Answers.h"
#include "net/Http.h"
#include "platform/Platform.h"
#include "store/Records.h"
#include "tracking/HttpReply.h"
#include "tracking/Progress.h"
#include "tracking/Reply.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWidget>
#include <memory>

class Class1;
class Store;
class Features;
class TrackingService;
class TrackingClient;
struct ServiceRequest;
struct ServiceAnswer;
enum class SettingKey;

// The parcel now shown. The members but status are text, as the database
// hands them over.
struct CurrentParcelState {
    QString number;
    QString company;
    QString code;
    QString goods;
    QString num;
    QString id;
    QString errCode;
    // What the header shows: Unknown while nothing is shown (not queried);
    // the newest event shown and the time under way, for the news it tells.
    Status status = Status::Unknown;
    KeptEvent newest{};
    QString transit{};
    // False once the details were cleared: the row above is then only the
    // one the edit panel acts on, and no station line names it.
    bool shown = true;
};

// Beside the shown parcel: its last answer as the chosen tracking service
// read it (events, status and failure); NoAnswer until one comes. (Its
// phone digits are kept by tracking/PhoneDigits.h.)
struct CurrentServiceState {
    TrackingReading reading;
};

class Form1 : public QWidget {
    Q_OBJECT
public:
    static constexpr const char *Version = PARCELIO_VERSION;
    static constexpr const char *BoxTitle = QT_TRANSLATE_NOOP("Parcelio", "Tesmar系列软件");

    Form1(const QString &appDir, const Config &config, const Platform &platform, QWidget *parent = nullptr);
    ~Form1() override;

    // The load handler: everything before the window is shown. Returns false
    // when the program was ended (database refused); the window must not be shown.
    bool load(const QString &seedSqlFile = QString());
    // Makes the add, edit, search and courier panels, which are otherwise
    // made when one of them is first opened; tests call it to reach every
    // control by name.
    void buildPanels();

    Store &store() { return db; }
    const Config &config() const { return cfg; }
    const Platform &platformServices() const { return platform; }
    // The folder of the book (the database) this window keeps.
    const QString &dataDir() const { return appDir; }
    // load() has run to its end.
    bool isLoaded() const { return loaded; }
    // Skin and sound; the application directory unless the program is installed.
    void setResourceDirectory(const QString &dir) { resourceDir = dir; }
    // What the window has beyond its own panels, each made when first used.
    Features &features();

    // ---------------------------------------------------------------- shell
    // Status bar: 0 prefix, 2 status line, 3 version, 4 credit, 5 clock.
    ControlArray<Label> Label11;
    Label *Label26 = nullptr;      // title text
    ControlArray<Label> Label16;   // 0 product site, 1 settings, 2 web version
    ControlArray<Label> Label2;    // 1 minimise, 2 close, 0 add panel caption
    ControlArray<Label> Image2;    // menu icons 1..7
    QComboBox *Text1 = nullptr;    // saved parcels
    ControlArray<Label> Label12;   // progress summary 0..7
    QFrame *Picture7 = nullptr;    // white backdrop of the progress list
    ListView *ListView1 = nullptr; // progress list
    BusyIndicator *AniGIF1 = nullptr;
    ControlArray<Panel> kdmenu;     // the five panels
    ControlArray<Label> x;          // their close images
    ControlArray<Label> panelTitle; // their title labels
    Panel *Picture5 = nullptr;      // enlarged-text overlay
    Label *Label23 = nullptr;

    QTimer *Timer1 = nullptr; // progress display
    QTimer *Timer3 = nullptr; // update check
    QTimer *Timer4 = nullptr; // timed query
    QTimer *Timer5 = nullptr; // clock
    QTimer *Timer6 = nullptr; // loop query
    QTimer *Timer7 = nullptr; // query watchdog

    // ---------------------------------------------------------- add panel
    QComboBox *Text3 = nullptr;         // tracking number (editable)
    QLineEdit *Text2 = nullptr;         // goods
    QPushButton *Command2 = nullptr;    // "刷新" recognition
    Label *Label24 = nullptr;           // recognition tip
    ControlArray<QPushButton> Command1; // 8..18

    // ----------------------------------------------------- settings panel
    QCheckBox *Check2 = nullptr, *Check3 = nullptr, *Check4 = nullptr, *Check5 = nullptr, *Check6 = nullptr,
              *Check7 = nullptr, *Check8 = nullptr;
    QLineEdit *Sendmail = nullptr;
    QGroupBox *Frame1 = nullptr; // the e-mail frame
    QGroupBox *Frame2 = nullptr; // the switches
    QGroupBox *Frame4 = nullptr; // timed query
    QGroupBox *Frame6 = nullptr; // loop query
    QComboBox *Combo2 = nullptr, *Combo3 = nullptr, *Combo4 = nullptr;
    QPushButton *Command3 = nullptr; // clock calibration
    Label *Label22 = nullptr;        // promotion link

    // --------------------------------------------------------- edit panel
    QLineEdit *Text4 = nullptr;
    QLineEdit *Text6 = nullptr;
    QPushButton *Command5 = nullptr;

    // ------------------------------------------------------- search panel
    ControlArray<QRadioButton> Option1; // 0 number, 1 goods
    ControlArray<QRadioButton> Option2; // 0 exact, 1 partial
    QLineEdit *Text7 = nullptr;

    // ------------------------------------------------------ courier panel
    Label *Label17 = nullptr, *Label18 = nullptr, *Label19 = nullptr;
    QLineEdit *Text8 = nullptr;
    QFrame *Picture3 = nullptr;
    ControlArray<Label> Label20; // quick picks 0..10
    QPushButton *Command4 = nullptr;
    ListView *ListView2 = nullptr;

    // ------------------------------------------------------- shared state
    CurrentParcelState CurrentParcel;
    CurrentServiceState CurrentService;
    // Label12(2) says the status in the user's language; kept as the shown one.
    void showStatus(Status status);
    qint16 eventCount = 0;
    qint16 watchdogTicks = 0;
    qint16 shownCount = 0;
    qint16 lastIndex = 0;
    // False while the list shows search hits instead of the whole book.
    bool listShowsBook = true;
    qint16 loopMinutes = 0;
    QString chosenIndex;
    QString noticeText, noticeCaption, noticeUrl;
    QString recognitionReply, recognitionTail, recognizedCode;

    // ------------------------------------------------------------- shell
    bool main();
    void setting();
    void read();
    void 绘制边框();
    void csh();
    void Timer5_Timer();
    void Timer3_Timer();
    static void LockHeader(QTreeWidget *list);
    // Centres panel i (on the given size when one is given) and shows it.
    void ShowPanel(int i, QSize placeAs = QSize());
    void openWeb(const QString &url);
    void setStatus(const QString &text);
    QString status() const;
    MessageBox::Answer msg(const QString &text, MessageBox::Buttons buttons = MessageBox::Ok,
                           MessageBox::Icon icon = MessageBox::Information,
                           const QString &title = Parcelio::tr(BoxTitle));
    // The seven menu icons at once; the lock below is their one user.
    void setMenuEnabled(bool on);
    void hideAllPanels();

    // ------------------------------------------ the one lock (src/app/Lock.cpp)
    // What a busy window holds: the saved-parcel list Text1, the progress
    // list and the menu icons.
    enum class Hold {
        Query,     // the shown parcel's query: both lists and every icon
        Icons,     // the add panel's query: the icons only
        WatchMode, // a loop or timed query: Text1 and the icons but the
                   // courier directory, until the user stops it
    };
    void lockControls(Hold hold);
    // The end of every busy state: back to idle, except for what a running
    // loop or timed query holds.
    void unlockControls();

    // ------------------------------------------------------ nested waits
    // A request (GetBody, fetch: the query, the recognition, the update
    // check, the clock's HEAD requests) and the news mail wait in a nested
    // event loop with the window's events running: timers tick and clicks,
    // keys and message boxes are handled inside them, so any handler can
    // run in the middle of another. This is what lets the watchdog end a
    // query that never answers. The loop and timed re-queries and the news
    // mail hold rerunGuard while they run (a Holding), and a loop or timed
    // tick starts nothing while it is held; the user's own query holds
    // features().queryFallback().userQueries, for which the book watch and
    // the loop wait.
    //
    // The main road of a query: Text1_Click (book/ParcelList.cpp) locks and
    // loads the chosen row; cx and kdgs (tracking/Query.cpp) ask the tracking
    // client (tracking/Client.cpp) with the watchdog Timer7 running; the
    // chosen service turns the reply into one TrackingReading
    // (tracking/Reply.cpp: result code, event count and events, each a pass
    // over the text), kept as CurrentService.reading and never read from
    // the text again: cx judges it, the query fallback keeps it
    // (QueryFallback, watch/KeptProgress.cpp); hx2 starts Timer1, whose tick
    // (tracking/Display.cpp) fills the progress list from it, judges the
    // news (gxtj, watch/Change.cpp: sound, notification and mail through
    // the news teller, watch/NewsTeller.cpp) and unlocks.
    //
    // Holds a count up for as long as it lives.
    class Holding {
    public:
        explicit Holding(int &count) : count(count) { ++count; }
        ~Holding() { --count; }
        Holding(const Holding &) = delete;
        Holding &operator=(const Holding &) = delete;

    private:
        int &count;
    };
    int rerunGuard = 0;
    bool pressDefaultButton(QWidget *focus);

    // chrome handlers
    void Form_MouseDown(Qt::MouseButton button);
    void Form_MouseMove();
    void Label16_MouseDown(int index);
    void Label16_MouseMove(int index);
    void Label2_MouseUp(int index);
    void Label2_MouseMove(int index);
    void Label11_MouseDown(int index);
    void Label22_Click();
    void kdmenu_MouseDown(int index);
    void x_Click(int index);
    void Picture5_Click();
    void Text4_Change();
    void Text7_Change();
    int windowDragRequests() const { return windowDragRequests_; }

    // ------------------------------------------ settings (src/settings)
    // A switch of the panel: its check number, its control and its column.
    struct SettingSwitch {
        int check;
        QCheckBox *Form1::*box;
        SettingKey key;
    };
    static const SettingSwitch Switches[7];
    static const SettingSwitch &switchOf(int check);
    void Check_Click(const SettingSwitch &s);
    void checkAndStoreAddress(); // x(1)
    // The places a feature beyond the panels' own controls may put one of
    // its controls: the panel decides where each is.
    enum class HostedPlace {
        SettingsTitleLeft,  // the settings panel's title row, first free place
        SettingsTitleRight, // and the second
        SettingsUnderClock, // under the clock button
        EditTitle,          // the edit panel's title row
        AddPhoneLabel,      // the add panel's row under its tip: caption,
        AddPhoneBox,        // box
        AddPhoneHint,       // and hint
        EditPhoneLabel,     // the edit panel's row under its buttons
        EditPhoneBox,
    };
    void hostControl(HostedPlace place, QWidget *control);
    void fillTimePickers();

    // ----------------------------------------------------------- tracking
    QString GetBody(const QString &url);
    // GET (or HEAD) waiting like GetBody, with status and headers kept. A
    // body over maxBytes, or a redirect to another host, is no answer.
    HttpReply fetch(const QString &url, int limitMs, bool headOnly = false,
                    qint64 maxBytes = ReplyLimit::Any);
    void kdgs(const QString &number);
    void cx();
    void hx2();
    void Timer7_Timer();
    void Timer1_Timer();
    // The tracking service the settings chose.
    const TrackingService &trackingService();
    // One request of the service, waited for as GetBody waits.
    ServiceAnswer serviceExchange(const ServiceRequest &request);
    // The tracking client, waiting as serviceExchange does.
    TrackingClient &trackingClient();
    void Text3_Change();
    void Command2_Click();
    void recognize();
    void queryNewParcel(); // Command1(13)

    // --------------------------------------------------------------- book
    void sX();
    // No parcel shown: the header back to "not queried", the events, the
    // station line and the shown parcel's record cleared.
    void clearDetails();
    // The list again when the book changed beneath it (a command run beside
    // the window adds or removes parcels), the chosen entry kept chosen. A
    // narrowed list, or one a query holds, is left alone.
    void refillIfBookChanged();
    void Text1_Click();
    // The book's row of the shown parcel; none while nothing is shown.
    std::optional<BookRow> shownBookRow();
    // Assigning a list position always runs the selection handler, also for
    // the position already selected.
    void setListIndex(int index);
    void Command5_Click();
    void Image2_Click(int index);
    void Form_KeyDown(int key, Qt::KeyboardModifiers shift);
    void menuCommand(int key);
    void narrowListToNumber(const QString &number, bool withSentinels);
    // Appends entries to the saved-parcel list in one batch; each keeps the
    // id of its row, so equal goods texts still stand for their own parcels.
    // The book's entries, or a search's.
    void addListEntries(const EntryList &entries);
    void addListEntries(const QList<ParcelEntry> &entries);
    // The two entries after a narrowed list; choosing either refills it.
    void addSentinelEntries();
    // The list position of the entry that stands for row id; -1 when the
    // list holds no such entry.
    int entryPositionOf(const QString &id) const;
    void changeParcel();       // Command1(9)
    void copyParcel();         // Command1(10)
    void deleteChosenParcel(); // Command1(11)
    void searchParcels();      // Command1(14)
    // The statement and the hit list of a search: the list is replaced by
    // the hits. The number of hits, or -1 when the statement failed (then
    // the list is left as it was).
    int listSearchHits(bool byNumber, bool partial, const QString &text);
    void exportProgress(); // F10, Image2(7)
    // Writes every row of the list to path; false when the list is empty or
    // the file could not be written (an existing file then keeps its content).
    // why, when given, says what failed.
    bool ExportListViewContent(QTreeWidget *list, const QString &path, QString *why = nullptr);
    void ListView1_Click();
    void ListView1_DblClick();
    void ListView1_MouseDown(Qt::MouseButton button);
    std::unique_ptr<Class1> rowTip; // created on first use

    // ----------------------------------------------------------- couriers
    void kdlb();
    void openCourierPanel(int buttonIndex);
    void Text8_Change();
    void Label20_Click(int index);
    void Label20_MouseMove(int index);
    void resetQuickPickColours();
    void Command4_Click();
    void ListView2_DblClick();
    void ListView2_MouseDown(Qt::MouseButton button);
    void fillCouriers(const QList<CourierRecord> &rows);

    // -------------------------------------------------------------- watch
    void gxtj();
    void ql();
    void emailgx();
    void Timer4_Timer();
    void Timer6_Timer();
    // Command1(15) to (18): start/stop and switch of the loop and timed frames.
    void watchCommand(int index);
    // A loop or timed query is running (its button shows the stop caption).
    bool watchModeRuns() const;
    // Before a loop or timed query: the watched parcel's entry chosen again
    // when nothing is chosen and the list holds it.
    void chooseWatchedEntry();
    // The courier chosen in the add panel (Command1(12)) and in the edit
    // panel (Command1(8)), empty for none: the buttons' captions only show it
    // (or a recognition message). Set both through chooseCourier.
    QString addCourier, editCourier;
    void chooseCourier(QPushButton *button, const QString &name);
    // Which re-query runs: the captions of its buttons only say so.
    enum class WatchMode { Idle, Loop, Timed };
    WatchMode watchMode = WatchMode::Idle;
    void stopLoop();
    void stopTimed();
    // The parcel a loop or timed query asks about is no longer saved.
    bool watchedParcelGone();
    // The loop's or timed query's parcel is held by the service or within
    // the minimum interval: said in the status line, and true.
    bool automaticQueryWaits();
    // Stops a running loop or timed query whose parcel was removed and says
    // so on the status line; false when none runs.
    bool stopWatchForRemovedParcel();
    // The current local time, through the platform's clock.
    QDateTime now() const;
    // At exit: the news mails on their way (and news a round is still
    // storing) are let finish, the window hidden, for at most the news
    // teller's exitMailLimitMs; their counts are stored already, so no later
    // round would tell them.
    void finishNewsBeforeExit();

    // -------------------------------------------------------- list marks
    // The saved-parcel list tells signed parcels and unseen news apart
    // (watch/KeptProgress.cpp); the book watch's rounds set them too.
    void refreshEntryStates();
    void setEntryState(qint64 id, const EntryState &state);

    // ---------------------------------------------------- network services
    void Command3_Click();
    void ctime();
    // One reading of the time server (net/Answers.h).
    ServerTime GetNetTime();
    void reportBook(bool openAddPanel);
    void unlockAfterUpdateCheck();
    // What the update service must list for this program to count as current.
    static constexpr const char *OwnVersion = PARCELIO_UPDATE_VERSION;
    // How long one HEAD request of the clock calibration may take.
    int headLimitMs = 10000;

    void Command1_Click(int index);

    // A request still unanswered after this long is abandoned and yields
    // empty text; tests shorten it.
    int requestLimitMs = 60000;

    static const char *const Sentinel;     // "******************"
    static const char *const RefreshEntry; // "刷新快递列表"

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildWindow();
    void buildAddPanel();
    void buildSettingsPanel();
    void buildEditPanel();
    void buildSearchPanel();
    void buildCourierPanel();
    void connectHandlers();
    void connectPanelHandlers();
    void connectPanel(int index);
    void connectCommands();
    bool panelsBuilt = false;
    Panel *makePanel(int index, const QString &title, int widthTw, int heightTw);
    // Command1(index), named and placed.
    QPushButton *commandButton(QWidget *parent, int index, const QString &text, QRect geometry);

    QString appDir;
    QString resourceDir;
    Config cfg;
    Platform platform;
    // Made in the constructor; the handlers reach it as db.
    std::unique_ptr<Store> heldStore;
    Store &db;
    std::unique_ptr<HttpClient> http;
    std::shared_ptr<const TrackingService> service;
    std::unique_ptr<TrackingClient> client;
    bool loaded = false;
    // The stored switches are being put on the settings panel.
    bool showingStoredSettings = false;
    int windowDragRequests_ = 0;
    QString pendingSeed;
    std::unique_ptr<Features> features_;
    // It hands the features the services and the resource folder.
    friend class Features;
};

// (Logic that needs no window is declared in the logic library's headers:
// tracking/Progress.h, tracking/Reply.h, app/Text.h, store/SettingValues.h,
// book/ExportText.h, net/Answers.h; the panels' construction helpers in
// app/Layout.h.)
// Clears the clipboard and puts plain text on it.
void putOnClipboard(const QString &text);
