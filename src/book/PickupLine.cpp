// The station line under the summary: where the shown parcel waits, its
// phone and pickup code, and the buttons beside them.
#include "book/PickupLine.h"

#include "app/Features.h"
#include "app/Form1.h"
#include "app/Layout.h"
#include "book/Archive.h"
#include "book/Stage.h"
#include "store/Store.h"
#include "tracking/RecognitionText.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QStyle>

using namespace layout;

PickupLine::PickupLine(Form1 &window_) : window(window_)
{
    // In the gap between the summary and the progress list.
    stationLine = label(&window, QStringLiteral("stationLine"), QString(), QRect(20, 176, 470, 26));
    setTextColour(stationLine, QColor(255, 230, 120));
    stationLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const struct {
        QPushButton *PickupLine::*button;
        const char *name;
        const char *text;
        int left;
        int width;
    } buttons[] = {
        {&PickupLine::copyPhoneButton, "copyPhoneButton", QT_TRANSLATE_NOOP("Parcelio", "复制电话"), 494, 64},
        {&PickupLine::copyCodeButton, "copyCodeButton", QT_TRANSLATE_NOOP("Parcelio", "复制取件码"), 562, 76},
        {&PickupLine::pickedButton, "pickedButton", QT_TRANSLATE_NOOP("Parcelio", "已取件"), 642, 56},
        {&PickupLine::pasteSmsButton, "pasteSmsButton", QT_TRANSLATE_NOOP("Parcelio", "粘贴取件短信"), 642,
         100}};
    for (const auto &b : buttons) {
        auto *button = placed<QPushButton>(&window, QString::fromLatin1(b.name),
                                           QRect(b.left, 178, b.width, 22), Parcelio::tr(b.text));
        // Wide enough for its caption in either language: the line places
        // the buttons one after the other anyway.
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
        button->resize(
            qMax(b.width, button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin + 4),
            button->height());
        button->setFocusPolicy(Qt::NoFocus);
        button->hide();
        this->*b.button = button;
    }
    pasteSmsButton->setToolTip(
        Parcelio::tr("把收到的取件短信粘贴进来, 记下取件码 (在物流列表中按 Ctrl+V 也可)"));
    connect(copyPhoneButton, &QPushButton::clicked, this, [this] {
        putOnClipboard(shownPickup.phone);
        window.setStatus(Parcelio::tr("电话已复制.."));
    });
    connect(copyCodeButton, &QPushButton::clicked, this, [this] {
        putOnClipboard(shownPickup.code);
        window.setStatus(Parcelio::tr("取件码已复制.."));
    });
    connect(pickedButton, &QPushButton::clicked, this, &PickupLine::markPickedUp);
    connect(pasteSmsButton, &QPushButton::clicked, this,
            [this] { pasteMessage(QGuiApplication::clipboard()->text()); });

    // Ctrl+V on the progress list pastes a pickup message.
    auto *paste = new QAction(Parcelio::tr("粘贴取件短信"), window.ListView1);
    paste->setObjectName(QStringLiteral("pastePickupAction"));
    paste->setShortcut(QKeySequence::Paste);
    paste->setShortcutContext(Qt::WidgetShortcut);
    window.ListView1->addAction(paste);
    connect(paste, &QAction::triggered, this, [this] { pasteMessage(QGuiApplication::clipboard()->text()); });
}

QString PickupLine::stageNote(qint64 id) const
{
    const std::optional<BookRow> row = window.store().bookRow(id);
    return noticeStatusNote(row ? bookRowStatus(*row) : Status::Unknown);
}

void PickupLine::show()
{
    const std::optional<BookRow> row = window.shownBookRow();
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
    const int room = qMax(80, window.width() - 12 - stationLine->x() - buttonsWidth - 6);
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
    window.features().archive().showShelfOf(row);
}
