// The add panel: the number, the goods and the courier, picked from the
// directory or recognised from the number (Recognition.cpp); its query
// button saves the parcel (AddQuery.cpp).
#include "app/Form1.h"
#include "app/Features.h"
#include "tracking/PhoneDigits.h"
#include "app/Layout.h"
#include "app/Tr.h"

using namespace layout;

void Form1::buildAddPanel()
{
    Panel *p = makePanel(0, Parcelio::tr("添加新快递"), 5055, 5175);
    label(p, QStringLiteral("Label3"), Parcelio::tr("快递单号："), QRect(20, 62, 76, 24));
    Text3 = named<QComboBox>(p, QStringLiteral("Text3"));
    Text3->setEditable(true);
    Text3->setInsertPolicy(QComboBox::NoInsert);
    Text3->setGeometry(100, 58, 214, 28);
    label(p, QStringLiteral("Label4"), Parcelio::tr("快递物品："), QRect(20, 102, 76, 24));
    Text2 = placed<QLineEdit>(p, QStringLiteral("Text2"), QRect(100, 98, 214, 28));
    Label2.set(0, label(p, QStringLiteral("Label2(0)"), Parcelio::tr("快递公司："), QRect(20, 142, 76, 24)));
    // Its caption is the chosen company or what recognition found.
    fitCaption(commandButton(p, 12, Parcelio::tr("请选择快递公司"), QRect(100, 138, 152, 30)));
    Command2 =
        placed<QPushButton>(p, QStringLiteral("Command2"), QRect(258, 138, 56, 30), Parcelio::tr("刷新"));
    commandButton(p, 13, Parcelio::tr("开始查询"), QRect(100, 180, 214, 34));
    Label24 = label(p, QStringLiteral("Label24"),
                    Parcelio::tr("友情提示：自动识别快递功能偶尔会因为使用人数过多而变得不稳定，"
                                 "您可进行多次刷新尝试，如果仍不可用请手动选择快递公司或稍后再试，"
                                 "第一版本可能识别率不是特别高，后续版本我们会继续改进。"),
                    QRect(20, 226, p->width() - 40, 72));
    Label24->setWordWrap(true);
    Label24->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColour(Label24, QColor(110, 110, 110));
    // Under the tip, whose text ends above it: the panel keeps its size and
    // every other control its place.
    features().phoneDigits().buildAddRow();

    connect(Text3, &QComboBox::editTextChanged, this, &Form1::Text3_Change);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
}
