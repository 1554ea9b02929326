#pragma once
// A number as the user gives it: checked, its courier named or recognised,
// and the phone digits some services want.
#include "cli/CommandContext.h"

namespace cli {
// Why a typed number is refused; none when it is taken.
std::optional<Failed> refusedNumber(const QString &number);
// The directory's courier of that name; why not, with the nearest names.
std::optional<CourierRecord> courierNamed(Context &c, const QString &name, Failed &why);
// pasted: the tracking service may name the courier where recognition does not.
std::optional<CourierRecord> recognised(Context &c, const QString &number, Failed &why, bool pasted = false);
// --phone, when given: four digits into phone, or why not.
std::optional<Failed> phoneOption(Context &c, QString &phone);
} // namespace cli
