// Settings: the desktop program's stored preferences, typed. Every key is
// named here once, with its section and its default; the values live in the
// per-user settings store (Registry: the file Q5Client.ini, administrator
// defaults included), so files written by earlier versions keep working.
//
// Thread rule: UI thread only (like the store).
#pragma once

#include <QString>

#include <span>

namespace q5::shell {

enum class Setting {
    // Section "Login": the login dialog's remembered values.
    UserName,      // "&User Name:"
    Password,      // "&Password:" (kept empty: the password lives in the secret store)
    Host,          // "Host"
    SaveSettings,  // "SaveSettings": "1" remembers user name, host and password
    // Section "Login" as well: the PIM setup window's values.
    NumberPattern,   // "numberPattern"
    ContactsFolder,  // "contactsFolder"
    // Section "Settings": the main window's geometry, in twips.
    MainLeft,
    MainTop,
    MainWidth,
    MainHeight,
    // Section "Desktop": how the program lives on the desktop.
    Notifications,    // "1" shows a notification for each new call
    KeepInTray,       // "1" keeps the session running in the tray when the main window closes
    Autostart,        // "1" starts the program with the desktop session
    StartMinimised,   // "1" starts hidden in the tray
    TrayNoticeShown,  // "1" once the user was told the program keeps running in the tray
    // Section "Login" as well: the region national numbers are read in ("" = from the locale).
    PhoneRegion,
};

struct SettingKey {
    Setting setting;
    const char* section;
    const char* key;
    const char* fallback;  // what a key no file holds reads as
};

class Settings {
public:
    // Every key, in the order of Setting.
    static std::span<const SettingKey> Keys();
    static const SettingKey& KeyOf(Setting setting);

    // The user's value, else the administrator's, else the key's default.
    QString Text(Setting setting) const;
    // The value as a decimal number; the key's default when it is none.
    int Number(Setting setting) const;
    // The administrator's value, else the default: the user's own is passed by.
    QString AdministratorText(Setting setting) const;

    void SetText(Setting setting, const QString& value);
    void SetNumber(Setting setting, int value);
    void Remove(Setting setting);
};

}  // namespace q5::shell
