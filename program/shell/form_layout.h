// Fitting a form to what it shows when it first opens: text boxes wide
// enough for the digits their field holds, and a list whose columns, sized
// in twips for a wider window, still show every column's title.
//
// A text box declares its width in digits with the dynamic property
// "minimumDigits" in its form; the box is then never narrower than that
// many digits of its own font, so it grows with the font and the scale.
//
// Thread rule: UI thread only.
#pragma once

class QWidget;

namespace q5::shell {

// Before the form is first laid out: minimum widths of its text boxes (from
// "minimumDigits") and of its lists (every column title side by side).
void ReserveTextRoom(QWidget* form);

// After the form has its first size: a list whose columns are wider in
// total than the list shrinks them in proportion to their widths, each
// keeping room for its title, so that all of them fit. Lists that fit keep
// their widths.
void FitListColumns(QWidget* form);

}  // namespace q5::shell
