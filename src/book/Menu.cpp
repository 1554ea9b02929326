// The main menu: seven icons and the function keys, two ways to the same
// commands.
#include "app/Form1.h"
#include "app/Features.h"
#include "tracking/PhoneDigits.h"
#include "store/Store.h"
#include "app/Tr.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
// The key that stands for each icon's command.
int keyOfIcon(int index)
{
    switch (index) {
    case 1: return Qt::Key_F5;  // edit the shown parcel
    case 2: return Qt::Key_F6;  // clear the list
    case 3: return Qt::Key_F4;  // add a parcel
    case 4: return Qt::Key_F7;  // search
    case 5: return Qt::Key_F8;  // refresh the list
    case 6: return Qt::Key_F12; // courier list
    case 7: return Qt::Key_F10; // export
    default: return 0;
    }
}
} // namespace

void Form1::Image2_Click(int index)
{
    // An icon starts from a clean desk: every panel goes, in index order.
    for (const auto &[i, panel] : kdmenu) {
        panel->hide();
        panel->raise();
    }
    if (const int key = keyOfIcon(index))
        menuCommand(key);
}

void Form1::Form_KeyDown(int key, Qt::KeyboardModifiers)
{
    // Shift, Ctrl and Alt are not looked at: Shift+F8 is F8.
    menuCommand(key);
    if (key == Qt::Key_F4) {
        // Only the key pastes: a number copied from a shop's page goes
        // straight into the number box (and so into recognition).
        Text3->setEditText(QGuiApplication::clipboard()->text());
    }
}

void Form1::menuCommand(int key)
{
    buildPanels(); // the commands fill the panels before they show them
    switch (key) {
    case Qt::Key_F4: // add a parcel
        Text3->setEditText(QString());
        Text2->clear();
        features().phoneDigits().clearToAdd();
        chooseCourier(Command1(12), QString());
        ShowPanel(0);
        // The panel takes the focus through its first field, so that the
        // number can be typed at once.
        Text3->setFocus();
        Command1(13)->setDefault(true);
        break;
    case Qt::Key_F5: // edit the shown parcel
        if (Text1->currentText().isEmpty()) {
            setStatus(Parcelio::tr("请先选择快递.."));
            break;
        }
        Text4->setText(CurrentParcel.number);
        chooseCourier(Command1(8), CurrentParcel.company);
        // The goods of the entry's record, not the entry's text (a command
        // may have changed them since the list was filled).
        {
            QString goods = CurrentParcel.goods;
            if (const QVariant entry = Text1->currentData(); entry.isValid())
                if (const auto row = db.parcelById(entry.toLongLong()))
                    goods = row->goods;
            Text6->setText(goods);
        }
        features().phoneDigits().offerToEdit();
        // Placed where the add panel would open.
        ShowPanel(2, kdmenu(0)->size());
        Command1(9)->setDefault(true);
        break;
    case Qt::Key_F6: // clear the list; every step is tried whatever went before
        if (msg(Parcelio::tr("确定要清空快递列表吗?"), MessageBox::YesNo) != MessageBox::AnswerYes)
            break;
        if (msg(Parcelio::tr("防误保护二次确认：确定要清空快递列表？"), MessageBox::YesNo) !=
            MessageBox::AnswerYes)
            break;
        setStatus(Parcelio::tr("正在清空..."));
        if (!store().deleteAllParcelsOnOwnConnection()) {
            // Nothing was deleted, so the list keeps showing the parcels.
            setStatus(Parcelio::tr("快递列表未清空.."));
            msg(Parcelio::tr("快递列表清空失败,没有做任何改动!"));
            break;
        }
        Text1->clear();
        ListView1->clear();
        setStatus(Parcelio::tr("快递列表已清空..."));
        break;
    case Qt::Key_F7: // search
        Option1(1)->setChecked(true);
        Option2(1)->setChecked(true);
        ShowPanel(3);
        kdmenu(3)->setFocus();
        Command1(14)->setDefault(true);
        Text7->clear();
        Text7->setFocus();
        break;
    case Qt::Key_F8: // refresh the list
        sX();
        ListView1->clear();
        if (Check7->isChecked() && Text1->count() > 0)
            setListIndex(0);
        setStatus(Parcelio::tr("快递列表已刷新.."));
        break;
    case Qt::Key_F9: // settings
        hideAllPanels();
        ShowPanel(1);
        break;
    case Qt::Key_F10: exportProgress(); break;
    case Qt::Key_F11: // initialise
        if (msg(Parcelio::tr("确定要执行初始化吗?"), MessageBox::YesNo) == MessageBox::AnswerYes)
            csh();
        break;
    case Qt::Key_F12: // courier list, for browsing
        ListView2->headerItem()->setText(1, Parcelio::tr("快递公司"));
        ListView2->clear();
        kdlb();
        ShowPanel(4);
        kdmenu(4)->raise();
        break;
    case Qt::Key_Escape: hideAllPanels(); break;
    default: break;
    }
}

void Form1::Command1_Click(int index)
{
    switch (index) {
    case 8:  // company button of the edit panel
    case 12: // company button of the add panel
        openCourierPanel(index);
        break;
    case 9: changeParcel(); break;
    case 10: copyParcel(); break;
    case 11: deleteChosenParcel(); break;
    case 13: queryNewParcel(); break;
    case 14: searchParcels(); break;
    case 15:
    case 16:
    case 17:
    case 18: watchCommand(index); break;
    default: // 8 to 18 are all handled above
        break;
    }
}
