// Tracking numbers pasted into the add panel: one goes into the box,
// several are recognised and offered for adding at once.
#include "book/PastedNumbers.h"

#include "app/Form1.h"
#include "store/Store.h"
#include "tracking/Intake.h"
#include "tracking/RecognitionText.h"
#include "tracking/Service.h"

PastedNumbers::PastedNumbers(Form1 &window_) : window(window_) {}

bool PastedNumbers::take(const QString &text)
{
    QStringList saved;
    QList<PastedNumber> found;
    for (const PastedNumber &p : pastedNumbers(text)) {
        const auto same = window.store().findParcels(ParcelField::Number, Match::Exact, p.number);
        if (same && !same->isEmpty())
            saved << p.number;
        else
            found << p;
    }
    if (found.isEmpty()) {
        if (!saved.isEmpty())
            window.setStatus(Parcelio::tr("粘贴的单号已保存: %1..").arg(saved.join(Parcelio::tr("、"))));
        return false;
    }
    if (found.size() > 1) {
        // Several: the box stays empty and the list is offered for adding at once.
        window.Text3->setEditText(QString());
        add(found, saved);
        return true;
    }
    if (window.Text2->text().isEmpty())
        window.Text2->setText(found.first().goods);
    window.Text3->setEditText(found.first().number);
    return true;
}

void PastedNumbers::add(const QList<PastedNumber> &found, const QStringList &saved)
{
    struct Offered {
        PastedNumber pasted;
        std::optional<CourierRecord> courier;
        QString why; // when no courier
    };
    QList<Offered> offered;
    // A long list says what it will spend before any request goes.
    if (found.size() > PasteWithoutAsking &&
        window.msg(Parcelio::tr("粘贴的文字中有%1个新单号, 识别和查询最多要用掉 %2 次查询, 是否继续?")
                       .arg(found.size())
                       .arg(pasteRequests(window.store(), found, window.trackingService(), false)),
                   MessageBox::YesNo) != MessageBox::AnswerYes) {
        window.setStatus(Parcelio::tr("粘贴的单号没有添加.."));
        return;
    }
    // No second paste into the panel while the recognition requests wait.
    Panel *panel = window.kdmenu(0);
    panel->setEnabled(false);
    window.setStatus(Parcelio::tr("正在检测快递"));
    for (const PastedNumber &p : found) {
        Offered o{p, std::nullopt, QString()};
        // Placed by its letters: no recognition asked.
        if (auto local = courierByPrefix(window.store(), p.number)) {
            o.courier = local;
            offered << o;
            continue;
        }
        const QString reply = window.GetBody(recognitionUrl(window.config().recognitionHost, p.number));
        const RecognisedCourier r =
            courierOfPasted(window.store(), reply.isEmpty() ? std::nullopt : std::optional<QString>(reply),
                            window.trackingService(), p.number, [this](const ServiceRequest &request) {
                                return window.serviceExchange(request);
                            });
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
    if (window.msg(ask, MessageBox::YesNo) != MessageBox::AnswerYes) {
        window.setStatus(Parcelio::tr("粘贴的单号没有添加.."));
        return;
    }

    // As the add command takes pasted text, without a query: the book watch
    // or choosing a parcel asks for its progress.
    int added = 0;
    QStringList refused;
    for (const Offered &o : offered) {
        QString why = o.why;
        if (o.courier && window.trackingService().needsPhone(o.courier->code)) {
            why = ServiceText::PhoneNeeded();
        } else if (o.courier) {
            const Store::Added a = window.store().addParcelOnce(o.courier->name, o.pasted.number,
                                                                o.pasted.goods, QStringLiteral("0"));
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
        if (window.Text1->isEnabled()) {
            if (window.listShowsBook)
                window.refillIfBookChanged();
            else
                window.sX();
        }
    }
    const QString said = Parcelio::tr("已添加%1个快递..").arg(added);
    window.setStatus(said);
    if (!refused.isEmpty())
        window.msg(said + QStringLiteral("\n\n") + Parcelio::tr("未添加:") + QStringLiteral("\n") +
                       refused.join(QLatin1Char('\n')),
                   MessageBox::Ok, MessageBox::Warning);
}
