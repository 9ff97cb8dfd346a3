// Registry: the per-user settings store of the desktop program, one address
// (application, section, key) and one value at a time. Values are strings in
// an INI file per application under $XDG_CONFIG_HOME/q5client (for the
// application "Q5Client": $XDG_CONFIG_HOME/q5client/Q5Client.ini), created
// readable and writable by its owner only.
//
// Administrator defaults: where the user's file lacks a key, reads take it
// from the same file name under q5client/ in the first folder of
// $XDG_CONFIG_DIRS (default /etc/xdg) that has one, e.g.
// /etc/xdg/q5client/Q5Client.ini. That file is never written: writes and
// removals touch the user's file only, and a user's value, even an empty
// one, wins over the default.
//
// The static Read/Write serve owners that address the store directly (the
// main window's geometry).
//
// Thread rule: UI thread only (like every object of the program).
#pragma once

#include <QString>

namespace q5::shell {

class Registry {
public:
    QString Appname() const { return appname_; }
    void SetAppname(const QString& strAppName) { appname_ = strAppName; }
    QString Section() const { return section_; }
    void SetSection(const QString& strSection) { section_ = strSection; }
    QString Key() const { return key_; }
    void SetKey(const QString& strKey) { key_ = strKey; }
    QString Setting() const { return setting_; }
    void SetSetting(const QString& strSetting) { setting_ = strSetting; }

    // Setting = value at (Appname, Section, Key), or "" when there is none.
    void RegGet();
    // Stores Setting at (Appname, Section, Key).
    void RegSave();
    // Removes the entry at (Appname, Section, Key).
    void RegDel();

    static QString Read(const QString& app, const QString& section, const QString& key,
                        const QString& fallback = QString());
    static void Write(const QString& app, const QString& section, const QString& key, const QString& value);
    static void Remove(const QString& app, const QString& section, const QString& key);
    // The administrator's default at (app, section, key), or fallback.
    static QString ReadDefault(const QString& app, const QString& section, const QString& key,
                               const QString& fallback = QString());
    // The file that holds the application's settings.
    static QString FilePath(const QString& app);
    // The administrator defaults file in use for app; empty when there is none.
    static QString DefaultsFilePath(const QString& app);

private:
    QString appname_;
    QString section_;
    QString key_;
    QString setting_;
};

}  // namespace q5::shell
