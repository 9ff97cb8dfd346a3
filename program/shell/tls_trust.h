// Trust on first use for servers behind a TLS front: what a failed Connect
// says about the server's certificate, the host text that pins a
// certificate, and where the pins are kept.
//
// The library's error record for a refused certificate reads
//   Connect Failed: <why>
//   SHA-256 fingerprint: AB:CD:...
//   Subject: CN=...
//   Valid: from <time> until <time>
// (one line each); ReadCertificateRefusal takes it apart. Pins live in the
// settings store under section kTlsPinSection, one key per server (TlsPinKey)
// holding the fingerprint.
//
// Thread rule: the settings functions (HostWithStoredPin, StorePin) on the
// UI thread, like the settings store; the others are pure, any thread.
#pragma once

#include <QString>

namespace q5::shell {

inline const QString kTlsPinSection = QStringLiteral("TlsPins");

struct CertificateRefusal {
    enum class Kind {
        none,           // not a certificate refusal (or no TLS at all)
        untrusted,      // the system does not trust it: may be trusted on first use
        changed,        // a pinned server shows another certificate
        name_mismatch,  // trusted, but issued for another name
        other           // expired, not yet valid, and so on
    };
    Kind kind = Kind::none;
    QString reason;  // the first line after "Connect Failed: "
    QString fingerprint;
    QString subject;
    QString validity;  // "from ... until ..."
};
CertificateRefusal ReadCertificateRefusal(const QString& description);

// True for a host box text of the form "tls://...".
bool IsTlsHost(const QString& host_text);
// The settings key of a TLS host's pin: host and port as typed, lower case,
// without "tls://" and without a pin ("tls://PBX:1009#sha256=.." ->
// "pbx:1009"); empty for a plain host.
QString TlsPinKey(const QString& host_text);
// The host text with `fingerprint` pinned, replacing a pin it had.
QString PinnedHost(const QString& host_text, const QString& fingerprint);
// The host text to connect with: as typed when it is plain or pins a
// certificate itself, else with the pin stored for it (if any) in the
// settings of application `app`.
QString HostWithStoredPin(const QString& app, const QString& host_text);
// Stores `fingerprint` as the pin of the TLS host `host_text`.
void StorePin(const QString& app, const QString& host_text, const QString& fingerprint);
// The question put to the user on first contact with an untrusted server.
QString TrustQuestion(const CertificateRefusal& refusal);
// The warning when a pinned server's certificate has changed.
QString ChangedCertificateWarning(const CertificateRefusal& refusal);

}  // namespace q5::shell
