// Rules of the greeting manager that need no window: the greeting types and
// their file codes, the languages and their suffixes, the local and server
// file names, the server steps of Get Greeting and Transmit Greeting, the
// active-greeting field, the progress percentage and the recorder's state
// texts.
//
// Local sound files live in the program's vox folder (LocalFolder::vox,
// spelled "vox" in lower case on every platform).
//
// Thread rule: any thread.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "greetings/multimedia_control.h"

namespace q5::greetings {

// Greeting types in the order of the option array, with their file codes
// (notr: the captions are the form's; these are not shown).
struct GreetingType {
    const char* caption;
    const char* code;
};
inline constexpr GreetingType kGreetingTypes[] = {
    {"Normal", ""}, {"Temporary", "T"}, {"Busy", "4"}, {"No Answer", "5"}, {"Hold", "H"}, {"Transfer", "TR"},
};
inline constexpr int kGreetingTypeCount = 6;

// Languages in the order of the list, with their file suffixes. The English
// caption is the language's name in the program's data; the list shows it
// translated (LanguageShown).
struct Language {
    const char* caption;
    const char* suffix;
};
inline constexpr Language kLanguages[] = {
    {QT_TRANSLATE_NOOP("Languages", "English"), ".eng"},
    {QT_TRANSLATE_NOOP("Languages", "Spanish"), ".spa"},
    {QT_TRANSLATE_NOOP("Languages", "French"), ".fre"},
    {QT_TRANSLATE_NOOP("Languages", "German"), ".ger"},
    {QT_TRANSLATE_NOOP("Languages", "Italian"), ".ita"},
    {QT_TRANSLATE_NOOP("Languages", "Hebrew"), ".heb"},
    {QT_TRANSLATE_NOOP("Languages", "Russian"), ".rus"},
    {QT_TRANSLATE_NOOP("Languages", "Arabic"), ".ara"},
    {QT_TRANSLATE_NOOP("Languages", "Turkish"), ".tur"},
    {QT_TRANSLATE_NOOP("Languages", "Portugeuse"), ".por"},
    {QT_TRANSLATE_NOOP("Languages", "Romanian"), ".rom"},
    {QT_TRANSLATE_NOOP("Languages", "Chinese"), ".chi"},
    {QT_TRANSLATE_NOOP("Languages", "Greek"), ".gre"},
    {QT_TRANSLATE_NOOP("Languages", "Swahili"), ".swa"},
};
inline constexpr int kLanguageCount = 14;

QStringList LanguageCaptions();
// A language's caption as the list shows it, in the user's language.
QString LanguageShown(const QString& language);
// The suffix of a language, compared exactly with the list; empty when the
// text is not one of them.
QString LanguageSuffix(const QString& language);
// The code of greeting type `index`; empty (as "Normal") when no type is
// chosen (-1).
QString TypeCode(int index);

// What the window acts on: a greeting type and language, or the name.
struct Selection {
    int type = 0;       // index into kGreetingTypes, -1 when none is chosen
    QString language;   // the list's text
    bool name = false;  // "Name" instead of a greeting
};

// "greet" + code + suffix, or "Name": the local base name (no folder).
QString LocalBaseName(const Selection& selection);
// The local sound file: the base name plus ".wav" in the vox folder.
QString LocalSoundFile(const Selection& selection);

// One server call of a Get or Transmit sequence.
struct FileStep {
    enum class Op { convert_v2w, get_file, put_file, convert_w2v, ren_file, del_file };
    Op op;
    QString remote;  // the server file (source of a rename)
    QString other;   // local file of get/put, destination of a rename
    bool operator==(const FileStep&) const = default;
};

std::vector<FileStep> GetGreetingSteps(const Selection& selection);
std::vector<FileStep> TransmitGreetingSteps(const Selection& selection);

// Active greeting: option index 0..2 from the trimmed GREET_REC value
// ("Y", "T", "N"), nothing for anything else; and back.
std::optional<int> ActiveGreetingIndex(const QString& greet_rec);
QString GreetRecValue(int index);

// The progress bar's value for a report of `bytes` of `total`: the rounded
// percentage, at least 1 and at most 100; 0 when the total is 0 or less.
int ProgressPercent(long long bytes, long long total);

// The recorder's state text for a mode; nothing for modes that leave it.
std::optional<QString> StateText(media::Mode mode);

// The help lines.
QString GetGreetingHelp();
QString TransmitGreetingHelp();

}  // namespace q5::greetings
