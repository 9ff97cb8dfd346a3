// BusyCursor: for a call that blocks the UI thread (connect, login,
// keep-alive). It shows the wait cursor and lets the windows paint what is
// pending before the call starts, so the user sees a busy, fully drawn
// program instead of a stale one; user input waits until the call returns.
//
// Thread rule: UI thread only.
#pragma once

#include <QApplication>
#include <QCursor>

namespace q5::shell {

class BusyCursor {
public:
    BusyCursor() {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace q5::shell
