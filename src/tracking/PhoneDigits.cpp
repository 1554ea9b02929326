#include "tracking/PhoneDigits.h"

#include "app/Form1.h"
#include "app/Layout.h"

using namespace layout;

namespace {
// A caption and a box of four digits, hosted at the places given; side
// names them ("add" or "edit").
QLineEdit *digitsRow(Form1 &window, Form1::HostedPlace captionAt, Form1::HostedPlace boxAt, const char *side)
{
    const QString name = QString::fromLatin1(side) + QStringLiteral("PhoneDigits");
    window.hostControl(captionAt,
                       named<Label>(nullptr, name + QStringLiteral("Label"), Parcelio::tr("手机尾号：")));
    auto *box = named<QLineEdit>(nullptr, name + QStringLiteral("Box"));
    box->setMaxLength(4);
    box->setToolTip(Parcelio::tr("寄件人或收件人手机号后四位 (隐私号取“-”后四位)"));
    window.hostControl(boxAt, box);
    return box;
}
} // namespace

PhoneDigits::PhoneDigits(Form1 &window_) : window(window_) {}

void PhoneDigits::buildAddRow()
{
    using Place = Form1::HostedPlace;
    addPhoneDigitsBox = digitsRow(window, Place::AddPhoneLabel, Place::AddPhoneBox, "add");
    Label *hint = named<Label>(nullptr, QStringLiteral("addPhoneDigitsHint"), Parcelio::tr("顺丰等快递需要"));
    window.hostControl(Place::AddPhoneHint, hint);
    setTextColour(hint, QColor(110, 110, 110));
}

void PhoneDigits::buildEditRow()
{
    using Place = Form1::HostedPlace;
    editPhoneDigitsBox = digitsRow(window, Place::EditPhoneLabel, Place::EditPhoneBox, "edit");
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
