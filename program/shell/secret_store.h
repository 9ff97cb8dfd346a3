// SecretStore: keeps the remembered password in the desktop's secret store
// (Secret Service or KWallet, through QtKeychain) instead of the settings
// file. Where no secret store answers, nothing is kept: a failed write means
// "no secret store" whatever error code QtKeychain gives (it reports nearly
// every failure as OtherError). A failed read counts as "nothing kept".
//
// Each call waits for the store's answer in a local event loop, at most a
// few seconds.
//
// Thread rule: UI thread (needs the Qt event loop of the calling thread).
#pragma once

#include <QString>

#include <optional>

namespace q5::shell {

class SecretStore {
public:
    // The service name under which the entries are kept.
    static QString Service();

    // Stores `secret` under `key`; false (with the store's reason in *why)
    // when no secret store took it.
    static bool Write(const QString& key, const QString& secret, QString* why = nullptr);
    // The secret under `key`, or nothing when there is none or no store.
    static std::optional<QString> Read(const QString& key);
    // Removes the entry; true when the store answered (a missing entry too).
    static bool Remove(const QString& key);
};

}  // namespace q5::shell
