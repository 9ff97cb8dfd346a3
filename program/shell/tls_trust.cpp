#include "shell/tls_trust.h"

#include <QCoreApplication>
#include <QStringList>

#include "shell/registry.h"

namespace q5::shell {

namespace {

const QString kScheme = QStringLiteral("tls://");

QString ValueAfter(const QStringList& lines, const QString& label) {
    for (const QString& line : lines) {
        if (line.startsWith(label)) return line.mid(label.size()).trimmed();
    }
    return {};
}

// The host text without its pin ("#..." and after).
QString WithoutPin(const QString& host_text) {
    const qsizetype hash = host_text.indexOf(QLatin1Char('#'));
    return hash < 0 ? host_text : host_text.left(hash);
}

QString CertificateLines(const CertificateRefusal& refusal) {
    return QCoreApplication::translate("TlsTrust", "SHA-256 fingerprint: %1\nSubject: %2\nValid: %3")
        .arg(refusal.fingerprint, refusal.subject, refusal.validity);
}

// "why (detail)" -> "detail"; the whole reason when it has no such part.
QString Detail(const QString& reason) {
    const qsizetype open = reason.indexOf(QLatin1Char('('));
    if (open < 0 || !reason.endsWith(QLatin1Char(')'))) return reason;
    return reason.mid(open + 1, reason.size() - open - 2);
}

}  // namespace

// notr: the library's error text is read here, in the library's words.
CertificateRefusal ReadCertificateRefusal(const QString& description) {
    CertificateRefusal refusal;
    const QString prefix = QStringLiteral("Connect Failed: ");
    if (!description.startsWith(prefix)) return refusal;
    const QStringList lines = description.mid(prefix.size()).split(QLatin1Char('\n'));
    refusal.fingerprint = ValueAfter(lines, QStringLiteral("SHA-256 fingerprint:"));
    if (refusal.fingerprint.isEmpty()) return refusal;  // not about a certificate
    refusal.reason = lines.first();
    refusal.subject = ValueAfter(lines, QStringLiteral("Subject:"));
    refusal.validity = ValueAfter(lines, QStringLiteral("Valid:"));
    if (refusal.reason.startsWith(QStringLiteral("the server's certificate is not trusted"))) {
        refusal.kind = CertificateRefusal::Kind::untrusted;
    } else if (refusal.reason.startsWith(QStringLiteral("the server's certificate has changed"))) {
        refusal.kind = CertificateRefusal::Kind::changed;
    } else if (refusal.reason.startsWith(QStringLiteral("the server's certificate does not match"))) {
        refusal.kind = CertificateRefusal::Kind::name_mismatch;
    } else {
        refusal.kind = CertificateRefusal::Kind::other;
    }
    return refusal;
}

bool IsTlsHost(const QString& host_text) {
    return host_text.trimmed().startsWith(kScheme, Qt::CaseInsensitive);
}

QString TlsPinKey(const QString& host_text) {
    if (!IsTlsHost(host_text)) return {};
    return WithoutPin(host_text.trimmed()).mid(kScheme.size()).toLower();
}

QString PinnedHost(const QString& host_text, const QString& fingerprint) {
    return WithoutPin(host_text.trimmed()) + QStringLiteral("#sha256=") + fingerprint;
}

QString HostWithStoredPin(const QString& app, const QString& host_text) {
    if (!IsTlsHost(host_text) || host_text.contains(QLatin1Char('#'))) return host_text;
    const QString pin = Registry::Read(app, kTlsPinSection, TlsPinKey(host_text));
    return pin.isEmpty() ? host_text : PinnedHost(host_text, pin);
}

void StorePin(const QString& app, const QString& host_text, const QString& fingerprint) {
    if (IsTlsHost(host_text)) Registry::Write(app, kTlsPinSection, TlsPinKey(host_text), fingerprint);
}

QString TrustQuestion(const CertificateRefusal& refusal) {
    return QCoreApplication::translate("TlsTrust",
                                       "This system does not trust the server's certificate (%1).\n\n%2\n\n"
                                       "Compare the fingerprint with the one your administrator gave you. "
                                       "Trust this server from now on?")
        .arg(Detail(refusal.reason), CertificateLines(refusal));
}

QString ChangedCertificateWarning(const CertificateRefusal& refusal) {
    return QCoreApplication::translate(
               "TlsTrust",
               "The server's certificate has changed since you trusted it. Someone may be "
               "listening in on the connection; it was not made.\n\nThe server now shows:\n%1\n\n"
               "If your administrator confirms the new certificate, remove the old one from the "
               "settings (section %2) and log in again.")
        .arg(CertificateLines(refusal), kTlsPinSection);
}

}  // namespace q5::shell
