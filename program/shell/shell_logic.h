// Rules of the desktop shell that need no window: the caption string table,
// reading the thread's error record, the outcome of a keep-alive, the host
// box's text, geometry units and the program's fixed texts.
//
// Thread rule: any thread; ErrorOf reads the calling thread's error record.
#pragma once

#include <QString>

#include <optional>

#include "q5client/com.h"

namespace q5::shell {

inline constexpr const char* kAppTitle = "Q5Client";  // the application title
inline constexpr int kServerPort = 1008;

// The caption string table: the text of entry `number`, if there is one.
std::optional<QString> CaptionText(int number);
// The same for a key given as text ("1012"); non-numbers have no entry.
std::optional<QString> CaptionText(const QString& key);

// A failed call's number and description, taken from the thread's error
// record (the description is empty when the call left none).
struct ErrorDetails {
    HRESULT number = S_OK;
    QString description;
};
// A failure (FAILED(hr)) is also kept as the thread's last failure and
// logged at debug level.
ErrorDetails ErrorOf(HRESULT hr);
// The failure ErrorOf read last on this thread, once: the message box that
// reports it logs it with its code. ForgetLastFailure drops it when the next
// call starts, so a later box is not blamed on an old failure.
std::optional<ErrorDetails> TakeLastFailure();
void ForgetLastFailure();
// The number as the program shows it: signed decimal (0x80040010 is
// -2147221488).
QString ErrorNumberText(HRESULT hr);

// What the keep-alive timer does with the result of KeepAlive.
enum class KeepAliveAction {
    nothing,          // success, or a refusal (E_FAIL) while the connection stands
    offer_reconnect,  // the connection is gone: ask "Disconnected..."
    show_error        // anything else: number and description in a box
};
KeepAliveAction KeepAliveActionFor(HRESULT hr);

// Leading and trailing blanks removed (blanks only, as the server's clients
// trim: tabs and other white space stay).
QString TrimBlanks(const QString& text);

// The host box: "host" connects to `host` on port 1008, "host:port" to the
// given port. A port that is not a number from 1 to 65535 leaves the whole
// text as the host name (the connect then fails and says so).
struct HostAndPort {
    QString host;
    int port = kServerPort;
};
HostAndPort ParseHostBox(const QString& text);

// Stored geometry is in twips, 1440 to the inch; the screen's logical DPI
// converts. Both round to the nearest unit.
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);
// Decimal text of a stored value, or `fallback` when it is not a number.
int StoredInt(const QString& text, int fallback);

}  // namespace q5::shell
