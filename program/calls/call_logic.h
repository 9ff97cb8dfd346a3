// Rules of the call control window that need no window: call keys and the
// local file names made from them, the status of each event, the elapsed
// time tick, the call log line, the event log's restart back-off, the
// draining of the event queue, the sound player's command line and the
// clean-up of fetched name recordings.
//
// Thread rule: any thread; a RestartBackOff object belongs to one thread.
// DrainQ5Events runs on the thread that owns the event object.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

#include "q5client/q5client.h"

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

// The call statuses the window itself sets; StatusText shows them in the
// user's language (context "CallStatus"), and the window compares a row's
// status with the shown text.
inline constexpr const char* kStatusNewCall = QT_TRANSLATE_NOOP("CallStatus", "New Call");
inline constexpr const char* kStatusDisconnect = QT_TRANSLATE_NOOP("CallStatus", "Disconnect");
inline constexpr const char* kStatusAskToHold = QT_TRANSLATE_NOOP("CallStatus", "Ask to hold...");
QString StatusText(const char* status);

// The status text an event gives a call (events 2 to 5 and 10), translated.
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
// The texts come from the network: CR, LF and double quotes are left out,
// so one call is always one line of four fields.
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

// The most events one poll tick works off; the rest wait for the next tick,
// so a flood cannot hold the user-interface thread for long.
inline constexpr int kMaxEventsPerTick = 500;

struct Q5Event {
    LONG id = 0;
    QString key;     // data1
    QString number;  // data2
    QString name;    // data3
};

struct DrainResult {
    int taken = 0;           // events handed to the handler
    HRESULT failure = S_OK;  // a failed poll of the queue, which ends the drain
};

// Takes the queued events of `events` oldest first and hands each to
// `handle`, until the queue is empty, `cap` events were taken, a poll
// fails, or `handle` returns false (the event object must not be touched
// after that: the handler may have released it).
DrainResult DrainQ5Events(ICoEvents& events, const std::function<bool(const Q5Event&)>& handle,
                          int cap = kMaxEventsPerTick);

// The arguments for the command-line sound player `program` (a path) to
// play `file`: aplay is told to be quiet; paplay and pw-play take no such
// option and refuse it.
QStringList NamePlayerArguments(const QString& program, const QString& file);

// Whether a file name is that of a fetched name recording: a call key (see
// IsSafeCallKey) followed by ".wav".
bool IsNameRecordingFile(const QString& fileName);

// Deletes the name recordings in `folder`; returns how many it deleted.
int RemoveNameRecordings(const QString& folder);

}  // namespace q5::calls
