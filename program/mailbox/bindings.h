// Binding: one row of a mailbox window's binding table, a field of the
// current record and the control that shows it, with the encoding between
// them. LoadBindings and SaveBindings move a record's values through
// TableCalls (so the window's error policy applies to each statement), in
// the order of the table (SaveBindings: by save_seq where given). A text
// box or combo box shows at most what the user may type into it (its
// maximum length); a longer stored value goes back whole unless the user
// changed what the box shows.
//
// Thread rule: UI thread only.
#pragma once

#include <QString>

#include <vector>

#include "mailbox/mailbox_rules.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QObject;
class QTimeEdit;

namespace q5::mailbox {

class TableCalls;

enum class Codec {
    text,         // QLineEdit or QComboBox text
    conversion,   // QComboBox: names shown, codes stored
    yes_no,       // QCheckBox "Y"/"N"
    one_zero,     // QCheckBox "1"/"0"
    option,       // QButtonGroup (ids 0..n-1) with its codes
    hhmm,         // QTimeEdit; with `raw`, the stored text passes through that box first
    sched_from,   // QTimeEdit of a schedule row's "From" ...
    sched_until,  // ... and "Until": placed together once both are read
};

struct Binding {
    QString load_name;  // the field as Load spells it; empty: not loaded
    QString save_name;  // the field as Save spells it; empty: not saved
    Codec codec = Codec::text;
    bool trim_load = false;
    bool trim_save = false;
    QObject* control = nullptr;
    const OptionCodes* codes = nullptr;  // option
    QLineEdit* raw = nullptr;            // hhmm through a hidden text box
    int unreadable_option = -1;          // option chosen when the field cannot be read
    int save_seq = -1;                   // position on Save; -1: the row's own
};

void LoadBindings(TableCalls& calls, const std::vector<Binding>& bindings);
void SaveBindings(TableCalls& calls, const std::vector<Binding>& bindings);

// A stored value that is not in a fixed list (a combo box the user cannot
// type into) is shown with at most this many characters.
inline constexpr qsizetype kListEntryLimit = 10;

// The picker's HHMM, and placing stored parts into a picker (a part that is
// missing keeps the picker's part).
QString PickerHhmm(const QTimeEdit* picker);
void PlaceTime(QTimeEdit* picker, const TimeParts& parts);

}  // namespace q5::mailbox
