#include "app/Form1.h"
#include "store/SettingValues.h"

#include <QScopedValueRollback>
#include <QSignalBlocker>

QString Form1::settingColumnOf(int checkNumber)
{
    switch (checkNumber) {
    case 2: return QStringLiteral("邮件通知");
    case 3: return QStringLiteral("语音提示");
    case 4: return QStringLiteral("支持拖动");
    case 5: return QStringLiteral("关闭窗口");
    case 6: return QStringLiteral("气泡提示");
    case 7: return QStringLiteral("默认查询");
    case 8: return QStringLiteral("自动识别");
    }
    return QString();
}

void Form1::setting()
{
    const auto row = db.settings();
    if (!row)
        return; // no row: every switch stays off and the address box keeps "无"
    Sendmail->setText(row->address);
    // What is shown here is what is stored: a failed write-back below is no
    // change the user made, so nothing is put back.
    const QScopedValueRollback<bool> restoring(showingStoredSettings, true);
    // Ticking a box runs its click handler, which writes the same value back
    // and, for the e-mail switch, enables the address box.
    Check3->setChecked(switchIsOn(row->voice));
    Check2->setChecked(switchIsOn(row->mail));
    Check5->setChecked(switchIsOn(row->closeOnClick));
    Check4->setChecked(switchIsOn(row->drag));
    Check6->setChecked(switchIsOn(row->balloon));
    Check7->setChecked(switchIsOn(row->defaultQuery));
    Check8->setChecked(switchIsOn(row->autoRecognise));
}

void Form1::Check_Click(QCheckBox *box)
{
    const int number = box->objectName().mid(5).toInt();
    if (box == Check2)
        Sendmail->setEnabled(Check2->isChecked());
    if (db.writeSetting(settingColumnOf(number),
                        box->isChecked() ? QStringLiteral("是") : QStringLiteral("否")) ||
        showingStoredSettings)
        return;
    // Not stored: the tick goes back to what is saved, and the user is told.
    {
        const QSignalBlocker quiet(box);
        box->setChecked(!box->isChecked());
    }
    if (box == Check2)
        Sendmail->setEnabled(Check2->isChecked());
    setStatus(QStringLiteral("设置保存失败,没有做任何改动.."));
}

void Form1::checkAndStoreAddress()
{
    const QString address = QStringLiteral("通知邮箱");
    if (Check2->isChecked()) {
        switch (checkAddress(Sendmail->text())) {
        case AddressCheck::Empty:
            setStatus(QStringLiteral("请输入您的E-mail地址.."));
            Sendmail->setFocus();
            return;
        case AddressCheck::NoAt:
            setStatus(QStringLiteral("您的E-mail地址输入错误!请您检查!"));
            Sendmail->setFocus();
            return;
        case AddressCheck::NoKnownPiece:
            setStatus(QStringLiteral("您的E-mail地址输入错误!请您检查!"));
            Check2->setChecked(false); // stores 否 and disables the box
            return;
        case AddressCheck::Ok:
            break;
        }
    }
    if (!db.writeSetting(address, Check2->isChecked() ? Sendmail->text() : QString())) {
        // The panel stays open so that the user can try again.
        setStatus(QStringLiteral("设置保存失败,没有做任何改动.."));
        return;
    }
    kdmenu(1)->hide();
    setStatus(QStringLiteral("设置完毕.."));
}
