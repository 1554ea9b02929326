#include "store/SettingValues.h"

bool switchIsOn(const QString &stored)
{
    return stored.contains(QStringLiteral("是"));
}

AddressCheck checkAddress(const QString &address)
{
    if (address.isEmpty())
        return AddressCheck::Empty;
    if (!address.contains(QLatin1Char('@')))
        return AddressCheck::NoAt;
    // Case-sensitive, anywhere in the address: that is how it has always
    // been checked, and stored addresses rely on it.
    static const char *const pieces[] = {"net", "me", "hk", "info", "org", "cn", "com"};
    for (const char *piece : pieces)
        if (address.contains(QLatin1String(piece)))
            return AddressCheck::Ok;
    return AddressCheck::NoKnownPiece;
}
