// Trust on first use: reading the library's certificate refusals and the
// host texts and settings keys of pinned servers.
#include <gtest/gtest.h>

#include "shell/tls_trust.h"

namespace q5::shell {
namespace {

const QString kFingerprint = QStringLiteral(
    "0F:2A:91:30:9E:74:B6:CE:70:08:60:F3:6D:90:FA:B2:08:59:66:FB:9D:4A:7C:77:3D:BE:4E:63:B1:E8:A2:CD");

QString Refusal(const QString& reason) {
    return QStringLiteral("Connect Failed: ") + reason + QStringLiteral("\nSHA-256 fingerprint: ") +
           kFingerprint +
           QStringLiteral(
               "\nSubject: CN=pbx.example.com,O=Example\nValid: from 2026-12-09 01:31 UTC until 2027-01-08 "
               "01:31 UTC");
}

TEST(TlsTrust, RefusalsAreReadByKindWithTheCertificateShown) {
    using Kind = CertificateRefusal::Kind;
    const struct {
        QString description;
        Kind kind;
    } cases[] = {
        {Refusal(QStringLiteral("the server's certificate is not trusted (self-signed certificate)")),
         Kind::untrusted},
        {Refusal(
             QStringLiteral("the server's certificate has changed: its fingerprint is not the pinned one")),
         Kind::changed},
        {Refusal(QStringLiteral("the server's certificate does not match the host name pbx")),
         Kind::name_mismatch},
        {Refusal(QStringLiteral("the server's certificate is not valid now (certificate has expired)")),
         Kind::other},
        // Nothing about a certificate: plain failures, handshakes, host strings.
        {QStringLiteral("Connect Failed"), Kind::none},
        {QStringLiteral("Connect Failed: TLS handshake failed (wrong version number)"), Kind::none},
        {QStringLiteral("Connect Failed: bad host: the host name is missing"), Kind::none},
        {QStringLiteral("Connect failed: the server's certificate is not trusted (x)"), Kind::none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description.toStdString());
        const CertificateRefusal refusal = ReadCertificateRefusal(c.description);
        EXPECT_EQ(refusal.kind, c.kind);
        if (c.kind == Kind::none) continue;
        EXPECT_EQ(refusal.fingerprint, kFingerprint);
        EXPECT_EQ(refusal.subject, QStringLiteral("CN=pbx.example.com,O=Example"));
        EXPECT_EQ(refusal.validity, QStringLiteral("from 2026-12-09 01:31 UTC until 2027-01-08 01:31 UTC"));
    }
    const CertificateRefusal untrusted = ReadCertificateRefusal(
        Refusal(QStringLiteral("the server's certificate is not trusted (self-signed certificate)")));
    const QString question = TrustQuestion(untrusted);
    EXPECT_TRUE(question.contains(QStringLiteral("(self-signed certificate)"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("SHA-256 fingerprint: ") + kFingerprint));
    EXPECT_TRUE(question.contains(QStringLiteral("Valid: from 2026-12-09")));
}

TEST(TlsTrust, PinsAreKeptPerServerAndReplaceAnOldPin) {
    const struct {
        QString text;
        QString key;
        QString pinned;
    } cases[] = {
        {QStringLiteral("tls://PBX.example.com:1009"), QStringLiteral("pbx.example.com:1009"),
         QStringLiteral("tls://PBX.example.com:1009#sha256=") + kFingerprint},
        {QStringLiteral(" tls://pbx#sha256=00 "), QStringLiteral("pbx"),
         QStringLiteral("tls://pbx#sha256=") + kFingerprint},
        {QStringLiteral("TLS://pbx"), QStringLiteral("pbx"),
         QStringLiteral("TLS://pbx#sha256=") + kFingerprint},
        {QStringLiteral("pbx:1008"), QString(), QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(TlsPinKey(c.text), c.key);
        EXPECT_EQ(IsTlsHost(c.text), !c.key.isEmpty());
        if (!c.key.isEmpty()) {
            EXPECT_EQ(PinnedHost(c.text, kFingerprint), c.pinned);
        }
    }
}

}  // namespace
}  // namespace q5::shell
