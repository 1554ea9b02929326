#include "tracking/PhoneDigits.h"

#include "app/Form1.h"
#include "app/Layout.h"

using namespace layout;

namespace {
QLineEdit *digitsBox(const QString &name)
{
    auto *box = named<QLineEdit>(nullptr, name);
    box->setMaxLength(4);
    box->setToolTip(Parcelio::tr("寄件人或收件人手机号后四位 (隐私号取“-”后四位)"));
    return box;
}
} // namespace

PhoneDigits::PhoneDigits(Form1 &window_) : window(window_) {}

void PhoneDigits::buildAddRow()
{
    using Place = Form1::HostedPlace;
    window.hostControl(Place::AddPhoneLabel, named<Label>(nullptr, QStringLiteral("addPhoneDigitsLabel"),
                                                          Parcelio::tr("手机尾号：")));
    addPhoneDigitsBox = digitsBox(QStringLiteral("addPhoneDigitsBox"));
    window.hostControl(Place::AddPhoneBox, addPhoneDigitsBox);
    Label *hint = named<Label>(nullptr, QStringLiteral("addPhoneDigitsHint"), Parcelio::tr("顺丰等快递需要"));
    window.hostControl(Place::AddPhoneHint, hint);
    setTextColour(hint, QColor(110, 110, 110));
}

void PhoneDigits::buildEditRow()
{
    using Place = Form1::HostedPlace;
    window.hostControl(Place::EditPhoneLabel, named<Label>(nullptr, QStringLiteral("editPhoneDigitsLabel"),
                                                           Parcelio::tr("手机尾号：")));
    editPhoneDigitsBox = digitsBox(QStringLiteral("editPhoneDigitsBox"));
    window.hostControl(Place::EditPhoneBox, editPhoneDigitsBox);
}

QString PhoneDigits::typedToAdd() const
{
    return addPhoneDigitsBox->text().trimmed();
}

QString PhoneDigits::typedToEdit() const
{
    return editPhoneDigitsBox->text().trimmed();
}

void PhoneDigits::clearToAdd()
{
    addPhoneDigitsBox->clear();
}

void PhoneDigits::focusToAdd()
{
    addPhoneDigitsBox->setFocus();
}

void PhoneDigits::correctToAdd(const QString &digits)
{
    addPhoneDigitsBox->setText(digits);
    addPhoneDigitsBox->setFocus();
    addPhoneDigitsBox->selectAll();
}

void PhoneDigits::offerToEdit()
{
    editPhoneDigitsBox->setText(shownDigits);
}
