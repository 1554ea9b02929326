// The add panel's query button: checks the entries, asks the tracking
// service once and saves the parcel when the answer allows it.
#include "app/Features.h"
#include "app/Form1.h"
#include "app/Features.h"
#include "tracking/PhoneDigits.h"
#include "store/Store.h"
#include "app/Tr.h"
#include "watch/QueryFallback.h"
#include "tracking/Progress.h"
#include "tracking/Service.h"

namespace {
// Back to idle: busy picture and watchdog off, list and menu usable unless
// a running loop or timed query holds them.
void endBusy(Form1 &w)
{
    w.AniGIF1->hide();
    w.Timer7->stop();
    w.unlockControls();
}

// A database step failed: nothing was saved, and the user is told so
// instead of being left with a busy window.
void saveFailed(Form1 &w)
{
    endBusy(w);
    w.setStatus(Parcelio::tr("快递保存失败,请检查数据库是否可写.."));
}

// Code "1": the service does not know the number (yet); the user may keep
// it all the same. False when a database step failed.
bool saveAnyway(Form1 &w, const QString &number, const QString &company, const QString &goods,
                const QString &phone)
{
    w.Timer7->stop();
    if (w.msg(Parcelio::tr("您好,您当前输入的单号不存在有效信息,是否先进行保存?"), MessageBox::YesNo) !=
        MessageBox::AnswerYes)
        return true;
    const Store::Added added = w.store().addParcelOnce(company, number, goods, QStringLiteral("0"));
    if (added.outcome == Store::Added::Failed)
        return false;
    if (added.outcome == Store::Added::Saved) {
        if (!w.store().setPhone(added.id, phone))
            return false;
        w.kdmenu(0)->hide();
        w.msg(Parcelio::tr("快递添加成功！"));
        w.sX();
    } else {
        w.kdmenu(0)->hide();
        w.msg(Parcelio::tr("快递数据已存在!"));
        w.narrowListToNumber(number, false);
    }
    w.AniGIF1->hide();
    w.Timer7->stop();
    return true;
}
} // namespace

void Form1::queryNewParcel()
{
    // Taken once: a key may reopen and reset the panel while the request waits.
    const QString number = Text3->currentText();
    const QString company = addCourier;
    const QString goods = Text2->text();
    const QString phone = features().phoneDigits().typedToAdd();

    if (number.isEmpty()) {
        Text3->setFocus();
        setStatus(Parcelio::tr("请输入快递单号!"));
        return;
    }
    if (number.contains(QLatin1Char('|'))) {
        setStatus(Parcelio::tr("单号不正确,请您检查!"));
        return;
    }
    // No courier chosen (the caption may hold a recognition message) is
    // refused: the query would go out with another parcel's courier code.
    QList<CourierRecord> couriers;
    if (!company.isEmpty()) {
        couriers = store().couriersByName(company);
        if (!store().error().isEmpty())
            return saveFailed(*this);
    }
    // A service that finds the carrier itself goes without one.
    const bool serviceFinds = couriers.isEmpty() && trackingService().findsCarrier();
    if (couriers.isEmpty() && !serviceFinds) {
        Command1(12)->setFocus();
        setStatus(Parcelio::tr("请选择快递公司!"));
        return;
    }
    if (goods.isEmpty()) {
        setStatus(Parcelio::tr("请输入快递物品信息,例如：爸爸衣服"));
        return;
    }

    if (!phone.isEmpty() && !isPhoneDigits(phone)) {
        features().phoneDigits().focusToAdd();
        setStatus(Parcelio::tr("手机尾号应为四位数字"));
        return;
    }
    // Refused before any request: the service would refuse it anyway.
    if (!couriers.isEmpty() && phone.isEmpty() && trackingService().needsPhone(couriers.first().code)) {
        features().phoneDigits().focusToAdd();
        setStatus(ServiceText::PhoneNeeded());
        return;
    }

    // The shown parcel stays shown, header and events, until the new one
    // is saved: a refused query must not leave one's header over nothing.
    const CurrentParcelState shownParcel = CurrentParcel;
    const CurrentServiceState shownService = CurrentService;
    const QString shownPhone = features().phoneDigits().shown();
    const bool displayPending = Timer1->isActive();
    auto showShownAgain = [&] {
        CurrentParcel = shownParcel;
        CurrentService = shownService;
        features().phoneDigits().setShown(shownPhone);
        if (displayPending)
            Timer1->start();
    };
    CurrentParcel.number = number;
    CurrentParcel.company = serviceFinds ? QString() : company;
    CurrentParcel.goods = goods;
    CurrentParcel.code = serviceFinds ? QString() : couriers.first().code;
    features().phoneDigits().setShown(phone);

    setStatus(Parcelio::tr("未查询"));
    // A display still pending from the previous reply would otherwise tick
    // during the wait and end the busy state.
    Timer1->stop();
    kdmenu(0)->hide();
    lockControls(Hold::Icons);

    kdgs(CurrentParcel.number);
    // No answer: the watchdog returns the window to idle.
    if (CurrentService.reading.kind == TrackingReading::NoAnswer) {
        showShownAgain();
        return;
    }

    const ReplyReading reading = CurrentService.reading.reply;
    // Kept apart: a refusal puts the shown parcel's reading back.
    const TrackingReading::Trouble trouble = CurrentService.reading.trouble;
    CurrentParcel.errCode = reading.code;
    // The carrier the service named, where none was chosen and the
    // directory knows it; otherwise saved without one.
    QString savedCompany = CurrentParcel.company;
    if (serviceFinds && !CurrentService.reading.carrier.isEmpty()) {
        const QString code = directoryCodeOf(trackingService().name(), CurrentService.reading.carrier);
        const QList<CourierRecord> named = code.isEmpty() ? QList<CourierRecord>{} : store().couriersByCode(code);
        if (!named.isEmpty())
            savedCompany = named.first().name;
    }
    if (reading.kind == ReplyReading::Unreadable) {
        // Not an answer we can read: nothing is saved.
        showShownAgain();
        endBusy(*this);
        setStatus(Parcelio::tr("查询结果无法识别,请稍后再试.."));
        return;
    }

    // Registered and not found yet: saved, the rounds fill it in.
    if (reading.kind != ReplyReading::Success && trouble != TrackingReading::Awaiting) {
        showShownAgain();
        if (reading.kind == ReplyReading::UnknownNumber) {
            if (!saveAnyway(*this, number, savedCompany, goods, phone))
                return saveFailed(*this);
        } else if (!phone.isEmpty() && trouble == TrackingReading::PhoneNeeded) {
            // Digits given and refused: they are wrong, not missing. The
            // form comes back as it was, for the digits to be corrected.
            endBusy(*this);
            ShowPanel(0);
            if (Text3->currentText() != number)
                Text3->setEditText(number);
            Command1(12)->setText(company);
            Text2->setText(goods);
            features().phoneDigits().correctToAdd(phone);
            setStatus(Parcelio::tr("手机尾号与快递单不符,请检查"));
            return;
        } else if (!reading.message.isEmpty()) {
            setStatus(reading.message);
        }
        endBusy(*this);
        return;
    }

    // Success: save the parcel unless its number is saved already.
    ListView1->clear();
    eventCount = 0;
    const Store::Added added = store().addParcelOnce(savedCompany, number, goods, QStringLiteral("0"));
    if (added.outcome == Store::Added::Failed)
        return saveFailed(*this);
    if (added.outcome == Store::Added::AlreadySaved) {
        kdmenu(0)->hide();
        msg(Parcelio::tr("快递数据已存在!"));
        narrowListToNumber(number, true);
        return;
    }
    const std::optional<qint64> id = added.id;
    if (!id || !store().setPhone(*id, phone))
        return saveFailed(*this);
    features().queryFallback().keep(QString::number(*id), CurrentService.reading);
    sX();
    // Chosen by its own entry, wherever the refill put it; choosing it loads
    // and queries it, and that display ends the busy state.
    const int position = entryPositionOf(QString::number(*id));
    if (position < 0) {
        endBusy(*this); // saved, but the list could not show it
        return;
    }
    setListIndex(position);
}

void Form1::narrowListToNumber(const QString &number, bool withSentinels)
{
    const auto rows = store().findEntries(ParcelField::Number, Match::Partial, number.trimmed());
    if (!rows)
        return saveFailed(*this);
    Text1->clear();
    addListEntries(*rows);
    listShowsBook = false;
    if (Text1->count() > 0)
        setListIndex(0);
    if (withSentinels)
        addSentinelEntries();
}
