#include "store/SettingValues.h"

namespace {
const SettingColumn Columns[] = {
    {SettingKey::Mail, "邮件通知", &SettingsRecord::mail},
    {SettingKey::Voice, "语音提示", &SettingsRecord::voice},
    {SettingKey::Drag, "支持拖动", &SettingsRecord::drag},
    {SettingKey::CloseOnClick, "关闭窗口", &SettingsRecord::closeOnClick},
    {SettingKey::Balloon, "气泡提示", &SettingsRecord::balloon},
    {SettingKey::DefaultQuery, "默认查询", &SettingsRecord::defaultQuery},
    {SettingKey::AutoRecognise, "自动识别", &SettingsRecord::autoRecognise},
    {SettingKey::Address, "通知邮箱", &SettingsRecord::address},
};
} // namespace

std::span<const SettingColumn> settingColumnTable()
{
    return Columns;
}

const SettingColumn &settingColumn(SettingKey key)
{
    // Listed in the order of the keys.
    return Columns[int(key)];
}

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
    if (!isOneAddress(address))
        return AddressCheck::NotOneAddress;
    // Case-sensitive, anywhere in the address: that is how it has always
    // been checked, and stored addresses rely on it.
    static const char *const pieces[] = {"net", "me", "hk", "info", "org", "cn", "com"};
    for (const char *piece : pieces)
        if (address.contains(QLatin1String(piece)))
            return AddressCheck::Ok;
    return AddressCheck::NoKnownPiece;
}

bool isOneAddress(const QString &address)
{
    for (const QChar c : address) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c == QLatin1Char('<') ||
            c == QLatin1Char('>') || c == QLatin1Char(',') || c == QLatin1Char(';'))
            return false;
    }
    return true;
}
