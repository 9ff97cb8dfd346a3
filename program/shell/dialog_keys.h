// Enter and Escape for windows that are not dialogs but ask like one (a
// form with Save and Cancel): Enter presses the focused push button, else
// the accepting one; Escape presses the rejecting one. A box that takes
// Enter itself (a multi-line box) keeps it.
//
// Thread rule: UI thread only.
#pragma once

class QAbstractButton;
class QWidget;

namespace q5::shell {

// Either button may be null (that key is left alone). The keys act while
// the focus is anywhere inside `form`; both buttons live inside it.
void SetDialogButtons(QWidget* form, QAbstractButton* accept, QAbstractButton* reject);

}  // namespace q5::shell
