// After the road: the station line under the summary (where the shown
// parcel waits, its phone and pickup code), the pasted pickup message,
// picked up, and the archive of the edit panel and the settings.
#include "app/Form1.h"
#include "store/Store.h"
#include "app/Layout.h"
#include "book/ParcelListModel.h"
#include "book/Stage.h"
#include "tracking/Intake.h"
#include "tracking/RecognitionText.h"
#include "tracking/Service.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QStyle>

using namespace layout;

namespace {
const QString AutoArchiveKey = QString::fromLatin1(Store::AutoArchiveKey);

bool switchOn(const QString &value)
{
    return value == QStringLiteral("是");
}
} // namespace


void Form1::buildPickupControls()
{
    // In the gap between the summary and the progress list.
    stationLine = label(this, QStringLiteral("stationLine"), QString(), QRect(20, 176, 470, 26));
    setTextColour(stationLine, QColor(255, 230, 120));
    stationLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const struct {
        QPushButton *Form1::*button;
        const char *name;
        const char *text;
        int left;
        int width;
    } buttons[] = {{&Form1::copyPhoneButton, "copyPhoneButton", QT_TRANSLATE_NOOP("Parcelio", "复制电话"), 494, 64},
                   {&Form1::copyCodeButton, "copyCodeButton", QT_TRANSLATE_NOOP("Parcelio", "复制取件码"), 562, 76},
                   {&Form1::pickedButton, "pickedButton", QT_TRANSLATE_NOOP("Parcelio", "已取件"), 642, 56},
                   {&Form1::pasteSmsButton, "pasteSmsButton", QT_TRANSLATE_NOOP("Parcelio", "粘贴取件短信"), 642, 100}};
    for (const auto &b : buttons) {
        auto *button = placed<QPushButton>(this, QString::fromLatin1(b.name), QRect(b.left, 178, b.width, 22),
                                           Parcelio::tr(b.text));
        // Wide enough for its caption in either language: the line places
        // the buttons one after the other anyway.
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        button->resize(qMax(b.width, button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin + 4),
                       button->height());
        button->setFocusPolicy(Qt::NoFocus);
        button->hide();
        this->*b.button = button;
    }
    pasteSmsButton->setToolTip(Parcelio::tr("把收到的取件短信粘贴进来, 记下取件码 (在物流列表中按 Ctrl+V 也可)"));
    connect(copyPhoneButton, &QPushButton::clicked, this, [this] {
        putOnClipboard(shownPickup.phone);
        setStatus(Parcelio::tr("电话已复制.."));
    });
    connect(copyCodeButton, &QPushButton::clicked, this, [this] {
        putOnClipboard(shownPickup.code);
        setStatus(Parcelio::tr("取件码已复制.."));
    });
    connect(pickedButton, &QPushButton::clicked, this, &Form1::markPickedUp);
    connect(pasteSmsButton, &QPushButton::clicked, this,
            [this] { pastePickupMessage(QGuiApplication::clipboard()->text()); });

    // Ctrl+V on the progress list pastes a pickup message.
    auto *paste = new QAction(Parcelio::tr("粘贴取件短信"), ListView1);
    paste->setObjectName(QStringLiteral("pastePickupAction"));
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetShortcut);
    ListView1->addAction(paste);
    connect(paste, &QAction::triggered, this, [this] { pastePickupMessage(QGuiApplication::clipboard()->text()); });
}

void Form1::buildArchiveControls()
{
    // Beside the edit panel's title, where its short caption leaves room.
    Panel *p = kdmenu(2);
    archiveButton = placed<QPushButton>(p, QStringLiteral("archiveButton"), QRect(p->width() - 104, 10, 66, 24),
                                        Parcelio::tr("归档"));
    archiveButton->setToolTip(Parcelio::tr("归档后不在快递列表和后台查询中出现; 搜索仍能找到它"));
    connect(archiveButton, &QPushButton::clicked, this, &Form1::toggleArchive);

    // Under the clock button, the settings panel's one free corner.
    QWidget *settings = Frame7->parentWidget();
    autoArchiveBox = new QCheckBox(Parcelio::tr("签收%1天后归档").arg(Store::AutoArchiveDays), settings);
    autoArchiveBox->setObjectName(QStringLiteral("autoArchiveBox"));
    autoArchiveBox->setToolTip(Parcelio::tr("已签收或已取件的快递%1天后自动归档; 搜索仍能找到它")
                                   .arg(Store::AutoArchiveDays));
    QFont small = autoArchiveBox->font();
    small.setPointSizeF(8);
    autoArchiveBox->setFont(small);
    autoArchiveBox->setGeometry(14, 290, 112, 20);
    autoArchiveBox->setChecked(switchOn(db.watchSetting(AutoArchiveKey)));
    connect(autoArchiveBox, &QCheckBox::toggled, this, [this](bool on) {
        db.writeWatchSetting(AutoArchiveKey, on ? QStringLiteral("是") : QStringLiteral("否"));
        if (on)
            autoArchive();
    });
}

void Form1::autoArchive()
{
    // At start the list is filled next; later it is refilled here.
    if (db.autoArchive(now()) > 0 && loaded && listShowsBook && Text1->isEnabled())
        refillIfBookChanged();
}

std::optional<BookRow> Form1::shownBookRow()
{
    bool ok = false;
    const qint64 id = CurrentParcel.id.toLongLong(&ok);
    if (!ok || !CurrentParcel.shown)
        return std::nullopt;
    return db.bookRow(id);
}

QString Form1::stageNote(qint64 id)
{
    const std::optional<BookRow> row = db.bookRow(id);
    return noticeStatusNote(row ? bookRowStatus(*row) : Status::Unknown);
}

void Form1::showPickupLine()
{
    const std::optional<BookRow> row = shownBookRow();
    const Status stage = row ? bookRowStatus(*row) : Status::Unknown;
    shownPickup = {};
    if (row) {
        const PickupStation at = stage == Status::AtStation || stage == Status::PickedUp
                                     ? pickupStationOf(row->newest.context)
                                     : PickupStation{};
        shownPickup = {at.station, at.phone, row->life.code};
    }
    const bool waits = stage == Status::AtStation;
    const bool line = waits || stage == Status::PickedUp || !shownPickup.code.isEmpty();
    // The state is the header's to say; the line says where to go and with
    // what code.
    QStringList parts;
    if (line) {
        if (!shownPickup.station.isEmpty())
            parts << shownPickup.station;
        if (!shownPickup.phone.isEmpty())
            parts << Parcelio::tr("电话 ") + shownPickup.phone;
        if (!shownPickup.code.isEmpty())
            parts << Parcelio::tr("取件码 ") + shownPickup.code;
    }
    const bool phone = line && !shownPickup.phone.isEmpty();
    const bool code = line && !shownPickup.code.isEmpty();
    // Pasting needs a saved parcel shown that is not yet in hand.
    const bool paste = row && stage != Status::PickedUp && stage != Status::Signed;
    const QList<QPair<QPushButton *, bool>> buttons{
        {copyPhoneButton, phone}, {copyCodeButton, code}, {pickedButton, waits}, {pasteSmsButton, paste}};
    int buttonsWidth = 0;
    for (const auto &[b, shown] : buttons)
        buttonsWidth += shown ? b->width() + 4 : 0;
    // A long station name is cut short; the whole event is its tooltip.
    const QString text = parts.join(QStringLiteral("  "));
    // A station the event does not name and no code: no text, the buttons
    // stand where it would.
    const bool said = line && !text.isEmpty();
    const int room = qMax(80, width() - 12 - stationLine->x() - buttonsWidth - 6);
    const int textWidth = qMin(stationLine->fontMetrics().horizontalAdvance(text) + 4, room);
    stationLine->setText(stationLine->fontMetrics().elidedText(text, Qt::ElideMiddle, textWidth));
    stationLine->resize(textWidth, stationLine->height());
    stationLine->setToolTip(plainToolTip(said && row ? row->newest.context : QString()));
    stationLine->setVisible(said);
    // The buttons sit right after the text they act on.
    int left = stationLine->x() + (said ? textWidth + 6 : 0);
    for (const auto &[b, shown] : buttons) {
        b->setVisible(shown);
        if (shown) {
            b->move(left, b->y());
            left += b->width() + 4;
        }
    }
    if (archiveButton)
        archiveButton->setText(row && !row->life.archived.isEmpty() ? Parcelio::tr("取消归档")
                                                                     : Parcelio::tr("归档"));
}

void Form1::pastePickupMessage(const QString &text)
{
    const PickupMessage message = readPickupMessage(text);
    if (message.code.isEmpty()) {
        setStatus(Parcelio::tr("粘贴的内容中没有找到取件码.."));
        return;
    }
    const QList<BookRow> rows = db.book();
    if (!db.error().isEmpty()) {
        setStatus(Parcelio::tr("数据库读取失败.."));
        return;
    }
    QList<PickupCandidate> parcels;
    for (const BookRow &r : rows) {
        const Status stage = bookRowStatus(r);
        if (stage != Status::PickedUp)
            parcels.append({r.parcel.id, r.parcel.number, r.parcel.goods, stage});
    }
    QList<PickupCandidate> found = parcelsForMessage(message, parcels);
    if (found.size() > 1) {
        // The shown parcel, when it is one of them, is the user's choice.
        for (const PickupCandidate &p : found)
            if (QString::number(p.id) == CurrentParcel.id)
                found = {p};
    }
    if (found.isEmpty()) {
        setStatus(Parcelio::tr("取件码%1: 没有找到与短信相符的快递..").arg(message.code));
        return;
    }
    if (found.size() > 1) {
        // The user chooses: each candidate is offered in turn until one is taken.
        std::optional<PickupCandidate> chosen;
        for (const PickupCandidate &p : found) {
            const QString ask = Parcelio::tr("有%1个快递与短信相符, 把取件码%2记到「%3」(%4)吗?")
                                    .arg(found.size())
                                    .arg(message.code, p.goods, p.number);
            if (msg(ask, MessageBox::YesNo) == MessageBox::AnswerYes) {
                chosen = p;
                break;
            }
        }
        if (!chosen) {
            setStatus(Parcelio::tr("没有选择快递, 取件码%1未记录..").arg(message.code));
            return;
        }
        found = {*chosen};
    } else if (const QString doubt = pickupDoubtOf(db, message, found.first()); !doubt.isEmpty()) {
        // Not chosen by the user: a code kept or a station named otherwise
        // is not overwritten without asking.
        const QString ask =
            doubt + QStringLiteral("\n\n") +
            Parcelio::tr("仍把取件码%1记到「%2」吗?").arg(message.code, found.first().goods);
        if (msg(ask, MessageBox::YesNo) != MessageBox::AnswerYes) {
            setStatus(Parcelio::tr("取件码%1未记录..").arg(message.code));
            return;
        }
    }
    const PickupCandidate &p = found.first();
    if (!db.setPickupCode(p.id, message.code)) {
        setStatus(Parcelio::tr("取件码保存失败.."));
        return;
    }
    setStatus(Parcelio::tr("取件码%1已记到「%2」..").arg(message.code, p.goods));
    showPickupLine();
}

void Form1::markPickedUp()
{
    const std::optional<BookRow> row = shownBookRow();
    if (!row)
        return;
    if (!db.setPicked(row->parcel.id, now())) {
        setStatus(Parcelio::tr("保存失败.."));
        return;
    }
    setStatus(Parcelio::tr("「%1」已标记为已取件..").arg(row->parcel.goods));
    setEntryState(row->parcel.id, EntryState{});
    showStatus(Status::PickedUp);
    showPickupLine();
}

void Form1::toggleArchive()
{
    const std::optional<BookRow> row = shownBookRow();
    if (!row) {
        setStatus(Parcelio::tr("请先选择快递.."));
        return;
    }
    const bool archived = !row->life.archived.isEmpty();
    if (!db.setArchived(row->parcel.id, archived ? QDateTime() : now())) {
        setStatus(Parcelio::tr("保存失败.."));
        return;
    }
    hideAllPanels();
    if (archived) {
        setStatus(Parcelio::tr("「%1」已取消归档..").arg(row->parcel.goods));
    } else {
        setStatus(Parcelio::tr("「%1」已归档, 可在搜索中找回..").arg(row->parcel.goods));
    }
    // The list shows the book again: an archived parcel leaves it, one
    // brought back returns to its place.
    if (listShowsBook)
        refillIfBookChanged();
    // The details follow the selector: a parcel it no longer names is not shown.
    const QVariant chosen = Text1->currentData();
    if (!chosen.isValid() || chosen.toLongLong() != row->parcel.id)
        clearDetails();
    else
        showPickupLine();
}

bool Form1::takePastedNumbers(const QString &text)
{
    QStringList saved;
    QList<PastedNumber> found;
    for (const PastedNumber &p : pastedNumbers(text)) {
        const auto same = db.findParcels(ParcelField::Number, Match::Exact, p.number);
        if (same && !same->isEmpty())
            saved << p.number;
        else
            found << p;
    }
    if (found.isEmpty()) {
        if (!saved.isEmpty())
            setStatus(Parcelio::tr("粘贴的单号已保存: %1..").arg(saved.join(Parcelio::tr("、"))));
        return false;
    }
    if (found.size() > 1) {
        // Several: the box stays empty and the list is offered for adding at once.
        Text3->setEditText(QString());
        addPastedNumbers(found, saved);
        return true;
    }
    if (Text2->text().isEmpty())
        Text2->setText(found.first().goods);
    Text3->setEditText(found.first().number);
    return true;
}

void Form1::addPastedNumbers(const QList<PastedNumber> &found, const QStringList &saved)
{
    struct Offered {
        PastedNumber pasted;
        std::optional<CourierRecord> courier;
        QString why; // when no courier
    };
    QList<Offered> offered;
    // A long list says what it will spend before any request goes.
    if (found.size() > PasteWithoutAsking &&
        msg(Parcelio::tr("粘贴的文字中有%1个新单号, 识别和查询最多要用掉 %2 次查询, 是否继续?")
                .arg(found.size())
                .arg(pasteRequests(db, found, trackingService(), false)),
            MessageBox::YesNo) != MessageBox::AnswerYes) {
        setStatus(Parcelio::tr("粘贴的单号没有添加.."));
        return;
    }
    // No second paste into the panel while the recognition requests wait.
    Panel *panel = kdmenu(0);
    panel->setEnabled(false);
    setStatus(Parcelio::tr("正在检测快递"));
    for (const PastedNumber &p : found) {
        Offered o{p, std::nullopt, QString()};
        // Placed by its letters: no recognition asked.
        if (auto local = courierByPrefix(db, p.number)) {
            o.courier = local;
            offered << o;
            continue;
        }
        const QString reply = GetBody(recognitionUrl(cfg.recognitionHost, p.number));
        const RecognisedCourier r =
            courierOfPasted(db, reply.isEmpty() ? std::nullopt : std::optional<QString>(reply), trackingService(),
                            p.number, [this](const ServiceRequest &request) { return serviceExchange(request); });
        if (r.outcome == RecognisedCourier::Named)
            o.courier = r.courier;
        else if (reply.isEmpty())
            o.why = Parcelio::tr("单号识别服务") + Parcelio::tr("没有应答");
        else if (r.outcome == RecognisedCourier::Busy)
            o.why = Parcelio::tr("检测出错,请手动选择或多次刷新");
        else if (r.outcome == RecognisedCourier::NotInDirectory)
            o.why = Parcelio::tr("未找到对应快递,请手动选择");
        else
            o.why = Parcelio::tr("检测出错,请查询您的单号是否正确");
        offered << o;
    }
    panel->setEnabled(true);

    QString ask = Parcelio::tr("粘贴的文字中有%1个新单号, 是否全部添加?\n").arg(offered.size());
    for (const Offered &o : offered)
        ask += QStringLiteral("\n%1  %2  %3")
                   .arg(o.pasted.number, o.courier ? o.courier->name : o.why, o.pasted.goods);
    if (!saved.isEmpty())
        ask +=
            QStringLiteral("\n\n") + Parcelio::tr("已保存, 不再添加: %1").arg(saved.join(Parcelio::tr("、")));
    if (msg(ask, MessageBox::YesNo) != MessageBox::AnswerYes) {
        setStatus(Parcelio::tr("粘贴的单号没有添加.."));
        return;
    }

    // As the add command takes pasted text, without a query: the book watch
    // or choosing a parcel asks for its progress.
    int added = 0;
    QStringList refused;
    for (const Offered &o : offered) {
        QString why = o.why;
        if (o.courier && trackingService().needsPhone(o.courier->code)) {
            why = ServiceText::PhoneNeeded();
        } else if (o.courier) {
            const Store::Added a =
                db.addParcelOnce(o.courier->name, o.pasted.number, o.pasted.goods, QStringLiteral("0"));
            if (a.outcome == Store::Added::Saved)
                ++added;
            else if (a.outcome == Store::Added::AlreadySaved)
                why = Parcelio::tr("快递数据已存在!");
            else
                why = Parcelio::tr("快递保存失败,请检查数据库是否可写..");
        }
        if (!why.isEmpty())
            refused << QStringLiteral("%1: %2").arg(o.pasted.number, why);
    }
    if (added > 0) {
        panel->hide();
        // A list a query holds is refilled by that query's end.
        if (Text1->isEnabled()) {
            if (listShowsBook)
                refillIfBookChanged();
            else
                sX();
        }
    }
    const QString said = Parcelio::tr("已添加%1个快递..").arg(added);
    setStatus(said);
    if (!refused.isEmpty())
        msg(said + QStringLiteral("\n\n") + Parcelio::tr("未添加:") + QStringLiteral("\n") +
                refused.join(QLatin1Char('\n')),
            MessageBox::Ok, MessageBox::Warning);
}
