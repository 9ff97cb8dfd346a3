// Rules of the call control window that need no window: call keys and the
// local file names made from them, the status of each event, the elapsed
// time tick, the call log line, and the event log's restart back-off.
//
// Thread rule: any thread; a RestartBackOff object belongs to one thread.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace q5::calls {

// Event numbers of the Q5 event log that the window acts on.
enum CallEvent : int {
    kNewCall = 1,
    kOnHold = 2,
    kTransfer = 3,
    kInTransit = 4,
    kLeavingMessage = 5,
    kCallEnded = 10,
    kA1Error = 100,
};

inline constexpr const char* kStatusNewCall = "New Call";
inline constexpr const char* kStatusDisconnect = "Disconnect";
inline constexpr const char* kStatusAskToHold = "Ask to hold...";

// The status text an event gives a call (events 2 to 5 and 10).
std::optional<QString> StatusForEvent(int event);

// A call key comes from the network and becomes part of a local file name:
// only 1 to 32 letters and digits qualify.
bool IsSafeCallKey(const QString& trimmedKey);

// "VS" and the numeric value of the key's leading digits among its first
// three characters ("00712345" → "VS7"; no digits → "VS0").
QString NameRecordingFile(const QString& key);

// An "hh:mm:ss" text one tick later (0.9936 s, rounded to the second, so
// one second per tick), wrapping at a day; nullopt when it is no such text.
std::optional<QString> NextElapsed(const QString& elapsed);

// A time of day in the platform's long time format (no time zone).
QString TimeOfDayText(const QTime& time);

// One call log line: #yyyy-mm-dd hh:mm:ss#,"number","start","elapsed" CR LF.
QByteArray CallLogLine(const QDateTime& handled, const QString& number, const QString& start,
                       const QString& elapsed);

// Delays between attempts to restart the event log: 1 s, 2 s, 4 s … 60 s.
class RestartBackOff {
public:
    // The delay before the next attempt; each call doubles the following one.
    int NextDelaySeconds();
    void Reset() { next_ = 1; }

private:
    int next_ = 1;
};

}  // namespace q5::calls
