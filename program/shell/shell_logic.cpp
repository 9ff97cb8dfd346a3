#include "shell/shell_logic.h"

#include <cmath>

#include <QCoreApplication>

#include "q5client/q5client.h"
#include "shell/log_categories.h"

namespace q5::shell {

namespace {

struct CaptionEntry {
    int number;
    const char* text;
};

// Entries 20 and 21 (font name and size) are absent: the fonts stay. The
// texts are shown translated (context "Captions").
constexpr CaptionEntry kCaptions[] = {
    {1012, QT_TRANSLATE_NOOP("Captions", "&Help")},
    {1015, QT_TRANSLATE_NOOP("Captions", "&About ")},
    {1025, QT_TRANSLATE_NOOP("Captions", "Login")},
    {1026, QT_TRANSLATE_NOOP("Captions", "&User Name:")},
    {1027, QT_TRANSLATE_NOOP("Captions", "&Password:")},
    {1028, QT_TRANSLATE_NOOP("Captions", "OK")},
    {1029, QT_TRANSLATE_NOOP("Captions", "Cancel")},
    {3000, QT_TRANSLATE_NOOP("Captions", "&Administration")},
    {3001, QT_TRANSLATE_NOOP("Captions", "Greetings")},
    {3002, QT_TRANSLATE_NOOP("Captions", "Name")},
    {3003, QT_TRANSLATE_NOOP("Captions", "Greeting Key Press")},
    {3004, QT_TRANSLATE_NOOP("Captions", "&Notification")},
    {3005, QT_TRANSLATE_NOOP("Captions", "Out Call Settings")},
    {3006, QT_TRANSLATE_NOOP("Captions", "Wake Up ")},
    {3007, QT_TRANSLATE_NOOP("Captions", "Advanced ")},
};

}  // namespace

std::optional<QString> CaptionText(int number) {
    for (const CaptionEntry& entry : kCaptions) {
        if (entry.number == number) return QCoreApplication::translate("Captions", entry.text);
    }
    return std::nullopt;
}

std::optional<QString> CaptionText(const QString& key) {
    bool numeric = false;
    const int number = key.trimmed().toInt(&numeric);
    if (!numeric) return std::nullopt;
    return CaptionText(number);
}

namespace {

std::optional<ErrorDetails>& LastFailure() {
    thread_local std::optional<ErrorDetails> failure;
    return failure;
}

}  // namespace

std::optional<ErrorDetails> TakeLastFailure() {
    std::optional<ErrorDetails> failure = std::move(LastFailure());
    LastFailure().reset();
    return failure;
}

void ForgetLastFailure() {
    LastFailure().reset();
}

ErrorDetails ErrorOf(HRESULT hr) {
    ErrorDetails details;
    details.number = hr;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BStr text;
        if (SUCCEEDED(info->GetDescription(text.ReleaseAndGetAddressOf()))) {
            const std::u16string_view view = text.View();
            details.description = QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
        }
        info->Release();
    }
    if (FAILED(hr)) {
        qCDebug(lcSession).noquote() << "call failed:" << CodeText(hr) << details.description;
        LastFailure() = details;
    }
    return details;
}

QString ErrorNumberText(HRESULT hr) {
    return QString::number(static_cast<qint32>(hr));
}

KeepAliveAction KeepAliveActionFor(HRESULT hr) {
    if (SUCCEEDED(hr) || hr == E_FAIL) return KeepAliveAction::nothing;
    if (hr == E_CONNECTION_LOST) return KeepAliveAction::offer_reconnect;
    return KeepAliveAction::show_error;
}

QString TrimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) --end;
    return text.mid(begin, end - begin);
}

HostAndPort ParseHostBox(const QString& text) {
    HostAndPort result;
    result.host = text;
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    // More than one colon is an IPv6-looking text: not ours to split.
    if (colon <= 0 || text.indexOf(QLatin1Char(':')) != colon) return result;
    const QString port_text = TrimBlanks(text.mid(colon + 1));
    bool numeric = false;
    const int port = port_text.toInt(&numeric);
    if (!numeric || port < 1 || port > 65535) return result;
    for (QChar c : port_text) {
        if (!c.isDigit()) return result;  // "+80" and the like are not ports
    }
    result.host = text.left(colon);
    result.port = port;
    return result;
}

int TwipsToPixels(int twips, double dpi) {
    if (dpi <= 0) dpi = 96.0;
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int PixelsToTwips(int pixels, double dpi) {
    if (dpi <= 0) dpi = 96.0;
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

int StoredInt(const QString& text, int fallback) {
    bool numeric = false;
    const int value = TrimBlanks(text).toInt(&numeric);
    return numeric ? value : fallback;
}

}  // namespace q5::shell
