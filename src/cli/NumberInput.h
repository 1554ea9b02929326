#pragma once
// A number as the user gives it: checked, its courier named or recognised,
// and the phone digits some services want.
#include "cli/CommandContext.h"

namespace cli {
std::optional<Failed> refusedNumber(const QString &number);
std::optional<CourierRecord> courierNamed(Context &c, const QString &name, Failed &why);
std::optional<CourierRecord> recognised(Context &c, const QString &number, Failed &why, bool pasted = false);
std::optional<Failed> phoneOption(Context &c, QString &phone);
} // namespace cli
