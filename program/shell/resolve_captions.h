// ResolveCaptions: applies the caption string table to one window. Numbers
// stand in the form where a text comes from the table: the window's and the
// controls' "tag" property, a menu item or menu whose text is a number, a
// tab's or column header's text, a tooltip. Every entry that is missing or
// not a number leaves its text as it is.
//
// Thread rule: UI thread only.
#pragma once

class QWidget;

namespace q5::shell {

void ResolveCaptions(QWidget* window);

}  // namespace q5::shell
