// A pickup message the user pastes: its code is kept for the parcel it
// names, asking when that is not plain.
#include "app/Form1.h"
#include "book/PickupLine.h"
#include "book/Stage.h"
#include "store/Store.h"
#include "tracking/RecognitionText.h"

void PickupLine::pasteMessage(const QString &text)
{
    const PickupMessage message = readPickupMessage(text);
    if (message.code.isEmpty()) {
        window.setStatus(Parcelio::tr("粘贴的内容中没有找到取件码.."));
        return;
    }
    const QList<BookRow> rows = window.store().book();
    if (!window.store().error().isEmpty()) {
        window.setStatus(Parcelio::tr("数据库读取失败.."));
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
        // The shown parcel, when it is one of them, is the user's choice;
        // the loop ends there, for the list it walked is gone.
        for (const PickupCandidate &p : found)
            if (QString::number(p.id) == window.CurrentParcel.id) {
                found = {p};
                break;
            }
    }
    if (found.isEmpty()) {
        window.setStatus(Parcelio::tr("取件码%1: 没有找到与短信相符的快递..").arg(message.code));
        return;
    }
    if (found.size() > 1) {
        // The user chooses: each candidate is offered in turn until one is taken.
        std::optional<PickupCandidate> chosen;
        for (const PickupCandidate &p : found) {
            const QString ask = Parcelio::tr("有%1个快递与短信相符, 把取件码%2记到「%3」(%4)吗?")
                                    .arg(found.size())
                                    .arg(message.code, p.goods, p.number);
            if (window.msg(ask, MessageBox::YesNo) == MessageBox::AnswerYes) {
                chosen = p;
                break;
            }
        }
        if (!chosen) {
            window.setStatus(Parcelio::tr("没有选择快递, 取件码%1未记录..").arg(message.code));
            return;
        }
        found = {*chosen};
    } else if (const QString doubt = pickupDoubtOf(window.store(), message, found.first());
               !doubt.isEmpty()) {
        // Not chosen by the user: a code kept or a station named otherwise
        // is not overwritten without asking.
        const QString ask = doubt + QStringLiteral("\n\n") +
                            Parcelio::tr("仍把取件码%1记到「%2」吗?").arg(message.code, found.first().goods);
        if (window.msg(ask, MessageBox::YesNo) != MessageBox::AnswerYes) {
            window.setStatus(Parcelio::tr("取件码%1未记录..").arg(message.code));
            return;
        }
    }
    const PickupCandidate &p = found.first();
    if (!window.store().setPickupCode(p.id, message.code)) {
        window.setStatus(Parcelio::tr("取件码保存失败.."));
        return;
    }
    window.setStatus(Parcelio::tr("取件码%1已记到「%2」..").arg(message.code, p.goods));
    show();
}
