#include "shell/settings.h"

#include <array>

#include "shell/registry.h"
#include "shell/shell_logic.h"

namespace q5::shell {

namespace {

// notr: section and key names and default values are the stored data (the
// user name's key is the login form's caption, as the settings always had it).
constexpr std::array<SettingKey, 16> kKeys{{
    {Setting::UserName, "Login", "&User Name:", ""},
    {Setting::Password, "Login", "&Password:", ""},
    {Setting::Host, "Login", "Host", "localhost"},
    {Setting::SaveSettings, "Login", "SaveSettings", "0"},
    {Setting::NumberPattern, "Login", "numberPattern", ""},
    {Setting::ContactsFolder, "Login", "contactsFolder", ""},
    {Setting::MainLeft, "Settings", "MainLeft", "1000"},
    {Setting::MainTop, "Settings", "MainTop", "1000"},
    {Setting::MainWidth, "Settings", "MainWidth", "6500"},
    {Setting::MainHeight, "Settings", "MainHeight", "6500"},
    {Setting::Notifications, "Desktop", "Notifications", "1"},
    {Setting::KeepInTray, "Desktop", "KeepInTray", "1"},
    {Setting::Autostart, "Desktop", "Autostart", "0"},
    {Setting::StartMinimised, "Desktop", "StartMinimised", "0"},
    {Setting::TrayNoticeShown, "Desktop", "TrayNoticeShown", "0"},
    {Setting::PhoneRegion, "Login", "phoneRegion", ""},
}};

QString App() {
    return QString::fromLatin1(kAppTitle);
}

}  // namespace

std::span<const SettingKey> Settings::Keys() {
    return kKeys;
}

const SettingKey& Settings::KeyOf(Setting setting) {
    return kKeys[static_cast<size_t>(setting)];
}

QString Settings::Text(Setting setting) const {
    const SettingKey& key = KeyOf(setting);
    return Registry::Read(App(), QString::fromLatin1(key.section), QString::fromLatin1(key.key),
                          QString::fromLatin1(key.fallback));
}

int Settings::Number(Setting setting) const {
    return StoredInt(Text(setting), QString::fromLatin1(KeyOf(setting).fallback).toInt());
}

QString Settings::AdministratorText(Setting setting) const {
    const SettingKey& key = KeyOf(setting);
    return Registry::ReadDefault(App(), QString::fromLatin1(key.section), QString::fromLatin1(key.key),
                                 QString::fromLatin1(key.fallback));
}

void Settings::SetText(Setting setting, const QString& value) {
    const SettingKey& key = KeyOf(setting);
    Registry::Write(App(), QString::fromLatin1(key.section), QString::fromLatin1(key.key), value);
}

void Settings::SetNumber(Setting setting, int value) {
    SetText(setting, QString::number(value));
}

void Settings::Remove(Setting setting) {
    const SettingKey& key = KeyOf(setting);
    Registry::Remove(App(), QString::fromLatin1(key.section), QString::fromLatin1(key.key));
}

}  // namespace q5::shell
