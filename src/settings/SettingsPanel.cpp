// The settings panel: its switches, each stored in its own column of the
// setting table, the notice address, the pickers of the timed and loop
// queries, and the clock button. It is made with the window, since every
// handler reads its switches.
#include "app/Form1.h"
#include "store/Store.h"
#include "app/Layout.h"
#include "app/Tr.h"
#include "store/SettingValues.h"

#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QSignalBlocker>

using namespace layout;

// The panel's switches: check number, control and stored column. In the
// order they are restored, as they always have been.
const Form1::SettingSwitch Form1::Switches[] = {
    {3, &Form1::Check3, SettingKey::Voice},        {2, &Form1::Check2, SettingKey::Mail},
    {5, &Form1::Check5, SettingKey::CloseOnClick}, {4, &Form1::Check4, SettingKey::Drag},
    {6, &Form1::Check6, SettingKey::Balloon},      {7, &Form1::Check7, SettingKey::DefaultQuery},
    {8, &Form1::Check8, SettingKey::AutoRecognise}};

const Form1::SettingSwitch &Form1::switchOf(int check)
{
    for (const SettingSwitch &s : Switches)
        if (s.check == check)
            return s;
    Q_UNREACHABLE();
}

void Form1::buildSettingsPanel()
{
    Panel *p = makePanel(1, Parcelio::tr("相关设置"), 8535, 4695);
    Frame2 = placed<QGroupBox>(p, QStringLiteral("Frame2"), QRect(14, 46, 262, 196));
    const struct {
        int check;
        const char *text;
    } checks[] = {{4, QT_TRANSLATE_NOOP("Parcelio", "子窗口是否支持拖动")},
                  {5, QT_TRANSLATE_NOOP("Parcelio", "单击子窗口自动关闭")},
                  {3, QT_TRANSLATE_NOOP("Parcelio", "快递更新是否启用语音提醒")},
                  {6, QT_TRANSLATE_NOOP("Parcelio", "是否启用气泡提示信息")},
                  {7, QT_TRANSLATE_NOOP("Parcelio", "刷新快递列表后默认查询第一个")},
                  {8, QT_TRANSLATE_NOOP("Parcelio", "是否启用快递公司自动识别功能")}};
    int top = 12;
    for (const auto &c : checks) {
        QCheckBox *&box = this->*switchOf(c.check).box;
        box = named<QCheckBox>(Frame2, QStringLiteral("Check%1").arg(c.check), Parcelio::tr(c.text));
        box->setGeometry(12, top, 240, 26);
        top += 30;
    }

    Frame1 = placed<QGroupBox>(p, QStringLiteral("Frame1"), QRect(290, 46, 266, 80),
                               Parcelio::tr("      是否启用邮件通知功能"));
    Check2 = placed<QCheckBox>(Frame1, QStringLiteral("Check2"), QRect(6, 0, 20, 20));
    {
        // The switch stands in the title: its words begin after it in any
        // font, however many blanks the translation kept.
        QStyleOptionGroupBox o;
        o.initFrom(Frame1);
        o.text = Frame1->title();
        o.subControls = QStyle::SC_GroupBoxLabel;
        const int left = Frame1->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, Frame1).left();
        const QString words = Frame1->title().trimmed();
        QString blanks;
        while (left + Frame1->fontMetrics().horizontalAdvance(blanks) < Check2->geometry().right() + 4)
            blanks += QLatin1Char(' ');
        Frame1->setTitle(blanks + words);
    }
    Sendmail =
        placed<QLineEdit>(Frame1, QStringLiteral("Sendmail"), QRect(12, 34, 242, 28), Parcelio::tr("无"));
    Sendmail->setEnabled(false);

    Frame4 = placed<QGroupBox>(p, QStringLiteral("Frame4"), QRect(290, 136, 266, 106),
                               Parcelio::tr("定时查询功能"));
    label(Frame4, QStringLiteral("Label5"), Parcelio::tr("请设定时间："), QRect(10, 30, 84, 24));
    Combo2 = placed<QComboBox>(Frame4, QStringLiteral("Combo2"), QRect(94, 28, 56, 26));
    label(Frame4, QStringLiteral("Label6"), Parcelio::tr("时"), QRect(154, 30, 16, 24));
    Combo3 = placed<QComboBox>(Frame4, QStringLiteral("Combo3"), QRect(172, 28, 56, 26));
    label(Frame4, QStringLiteral("Label7"), Parcelio::tr("分"), QRect(232, 30, 16, 24));
    commandButton(Frame4, 18, Parcelio::tr("开始定时"), QRect(10, 66, 116, 30));
    commandButton(Frame4, 17, Parcelio::tr("循环查询"), QRect(138, 66, 116, 30));

    Frame6 = placed<QGroupBox>(p, QStringLiteral("Frame6"), Frame4->geometry(), Parcelio::tr("循环查询功能"));
    label(Frame6, QStringLiteral("Label8"), Parcelio::tr("每隔"), QRect(10, 30, 32, 24));
    Combo4 = placed<QComboBox>(Frame6, QStringLiteral("Combo4"), QRect(44, 28, 64, 26));
    label(Frame6, QStringLiteral("Label9"), Parcelio::tr("分钟自动进行一次查询"), QRect(112, 30, 150, 24));
    commandButton(Frame6, 16, Parcelio::tr("开始循环"), QRect(10, 66, 116, 30));
    commandButton(Frame6, 15, Parcelio::tr("定时查询"), QRect(138, 66, 116, 30));
    Frame6->hide();

    Command3 =
        placed<QPushButton>(p, QStringLiteral("Command3"), QRect(14, 256, 110, 32), Parcelio::tr("时间校对"));
    Label22 = label(p, QStringLiteral("Label22"), Parcelio::tr("定制您的专属快递邮件推广服务"),
                    QRect(290, 262, 266, 24));
    Label22->setCursor(Qt::PointingHandCursor);
    setTextColour(Label22, QColor(0, 102, 204));

    for (const SettingSwitch &s : Switches) {
        QCheckBox *box = this->*s.box;
        connect(box, &QCheckBox::toggled, this, [this, &s] { Check_Click(s); });
    }
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Label22, &Label::clicked, this, &Form1::Label22_Click);
}

void Form1::fillTimePickers()
{
    // Filled in one batch each: item by item costs a model update apiece.
    auto numbers = [](int from, int to) {
        QStringList out;
        for (int i = from; i <= to; ++i)
            out << QString::number(i);
        return out;
    };
    Combo2->addItems(numbers(0, 23));
    Combo3->addItems(numbers(0, 59));
    Combo4->addItems(numbers(1, 360));
    Combo4->setCurrentIndex(-1);
    Combo2->setCurrentIndex(0);
    Combo3->setCurrentIndex(0);
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
    for (const SettingSwitch &s : Switches)
        (this->*s.box)->setChecked(switchIsOn((*row).*settingColumn(s.key).field));
}

void Form1::Check_Click(const SettingSwitch &s)
{
    QCheckBox *box = this->*s.box;
    if (box == Check2)
        Sendmail->setEnabled(Check2->isChecked());
    if (db.writeSetting(QString::fromUtf8(settingColumn(s.key).column),
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
    setStatus(Parcelio::tr("设置保存失败,没有做任何改动.."));
}

void Form1::checkAndStoreAddress()
{
    const QString address = QString::fromUtf8(settingColumn(SettingKey::Address).column);
    if (Check2->isChecked()) {
        switch (checkAddress(Sendmail->text())) {
        case AddressCheck::Empty:
            setStatus(Parcelio::tr("请输入您的E-mail地址.."));
            Sendmail->setFocus();
            return;
        case AddressCheck::NoAt:
        case AddressCheck::NotOneAddress:
            setStatus(Parcelio::tr("您的E-mail地址输入错误!请您检查!"));
            Sendmail->setFocus();
            return;
        case AddressCheck::NoKnownPiece:
            setStatus(Parcelio::tr("您的E-mail地址输入错误!请您检查!"));
            Check2->setChecked(false); // stores 否 and disables the box
            return;
        case AddressCheck::Ok: break;
        }
    }
    if (!db.writeSetting(address, Check2->isChecked() ? Sendmail->text() : QString())) {
        // The panel stays open so that the user can try again.
        setStatus(Parcelio::tr("设置保存失败,没有做任何改动.."));
        return;
    }
    kdmenu(1)->hide();
    setStatus(Parcelio::tr("设置完毕.."));
}
