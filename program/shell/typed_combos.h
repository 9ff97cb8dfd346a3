// KeepTypedComboText: the editable combo boxes of a form keep the text as
// the user types it. An editable QComboBox comes with a completer that
// completes against its list without regard to case ("greeting" turns into
// "Greeting", "f" into "Fax"); the program's combo boxes store their text,
// compared exactly, so none of them completes.
//
// Thread rule: UI thread only.
#pragma once

#include <QComboBox>
#include <QWidget>

namespace q5::shell {

inline void KeepTypedComboText(QWidget* form) {
    for (QComboBox* combo : form->findChildren<QComboBox*>()) {
        if (combo->isEditable()) combo->setCompleter(nullptr);
    }
}

}  // namespace q5::shell
