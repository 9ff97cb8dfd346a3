// The value encodings of the mailbox windows and the outcome of a failed
// library call, without widgets: what a stored value turns a control into
// and what a control writes back, the conversion-table names, the HHMM
// times, the upload progress and the remote file name of "Send File".
//
// Thread rule: any thread; everything here is a pure function.
#pragma once

#include <QString>

#include <array>
#include <optional>

#include "q5client/com.h"

namespace q5::mailbox {

// "Y"/"N" check boxes: only exactly "Y" (after trimming, when asked) checks.
bool YesNoChecked(const QString& stored, bool trim);
QString YesNoValue(bool checked);

// "1"/"0" check boxes: a value that reads as a number of at least 1 checks;
// a smaller number, an empty or a non-numeric value clears.
bool OneZeroChecked(const QString& stored);
QString OneZeroValue(bool checked);

// Option groups: one single-letter code per button.
struct OptionCodes {
    std::array<const char*, 4> codes;
    int count;
};
inline constexpr OptionCodes kScreenCodes{{"Y", "V", "N", "C"}, 4};       // Option2, SCREEN
inline constexpr OptionCodes kTransferCodes{{"Y", "N", "D", "A"}, 4};     // Option3, TRANS_CALL
inline constexpr OptionCodes kMwiCodes{{"N", "Y", "W", nullptr}, 3};      // Option8, MWI
inline constexpr OptionCodes kDelTypeCodes{{"N", "S", "D", nullptr}, 3};  // Option7, DELTYPE
inline constexpr int kScreenDisabled = 2;           // "Disabled", chosen when SCREEN cannot be read
inline constexpr int kScreenWithNameRecording = 1;  // the one that sets gNameScreening
// The button of a code, or -1 when it matches none (exact, case-sensitive).
int OptionIndex(const OptionCodes& codes, const QString& stored);
// The code of a button; empty for -1 (nothing selected writes nothing).
QString OptionCode(const OptionCodes& codes, int index);

// HHMM times: hour and minute each two digits, 24-hour.
QString Hhmm(int hour, int minute);
// The parts of a stored time: characters 1-2 and 3-4, each only when it
// reads as a number in range (a part that does not keeps the picker's part).
struct TimeParts {
    std::optional<int> hour;
    std::optional<int> minute;
};
TimeParts SplitHhmm(const QString& text);
// The "From"/"Until" pair of a schedule row: a trimmed From of exactly four
// characters places both; anything else puts both at 12:00.
struct SchedulePair {
    TimeParts from;
    TimeParts until;
};
SchedulePair ScheduleTimes(const QString& stored_from, const QString& stored_until);
// What the pickers show: "hh:mm tt" (notr: a format).
inline constexpr const char* kPickerFormat = "hh:mm AP";

// The conversion table: "Pager" is stored as "/B" and so on; other text
// is stored as it is. Both directions are exact and case-sensitive. The
// names are shown in the user's language (context "ConversionTable"); the
// English name is read as its code in every language.
inline constexpr std::array<const char*, 6> kConversionNames{
    QT_TRANSLATE_NOOP("ConversionTable", "Pager"),  QT_TRANSLATE_NOOP("ConversionTable", "Greeting"),
    QT_TRANSLATE_NOOP("ConversionTable", "Record"), QT_TRANSLATE_NOOP("ConversionTable", "Cell"),
    QT_TRANSLATE_NOOP("ConversionTable", "Fax"),    QT_TRANSLATE_NOOP("ConversionTable", "Main Menu")};
// A conversion name as the lists show it.
QString ConversionShown(const char* name);
QString ConversionCode(const QString& shown);
QString ConversionName(const QString& stored);
// The field behind key k (0 to 9): key k uses CON_TBL_(k-1), key 0 CON_TBL_9.
QString ConversionField(int key);

// The progress bar's value for bytes of total: percent rounded half to even,
// kept within 1..100; a total of 0 shows 0.
int ProgressPercent(long long bytes, long long total);

// The longest name a file-name box holds, and why a remote name cannot be
// sent (empty when it can).
inline constexpr int kFileNameLimit = 15;
QString RemoteNameProblem(const QString& name);

// What a window does with a failed call.
enum class ErrorOutcome {
    skip,        // E_FAIL: the server refused while connected; go on
    reconnect,   // E_CONNECTION_LOST: offer the login window, end the operation
    show_error,  // anything else: show number and description, end the operation
};
ErrorOutcome OutcomeOf(HRESULT hr);

}  // namespace q5::mailbox
