#include "calls/pim.h"

#include <QDir>
#include <QLineEdit>

#include "calls/frm_contact.h"
#include "calls/frm_pim_setup.h"
#include "calls/pim_logic.h"
#include "shell/local_paths.h"
#include "shell/window_manager.h"

namespace q5::calls {

QString ContactsFolder(WindowManager& windows) {
    const QString chosen = windows.Load<frmPIMSetup>().ContactsFolderInEffect().trimmed();
    if (!chosen.isEmpty()) return chosen;
    return QDir(shell::LocalPath(shell::LocalFolder::base)).filePath(QStringLiteral("contacts"));
}

std::unique_ptr<ContactStore> OpenContactStore(WindowManager& windows) {
    return std::make_unique<VCardFolderStore>(ContactsFolder(windows));
}

QString FormatCallerNumber(WindowManager& windows, const QString& number) {
    return FormatWithPattern(number, windows.Load<frmPIMSetup>().PatternInEffect());
}

QString PhoneRegion(WindowManager& windows) {
    return PhoneRegionFor(windows.Load<frmPIMSetup>().RegionInEffect(), QLocale::system());
}

QString LookupContactName(WindowManager& windows, const QString& number) {
    const std::unique_ptr<ContactStore> store = OpenContactStore(windows);
    const std::optional<ContactMatch> match =
        FindContact(*store, FormatCallerNumber(windows, number), PhoneRegion(windows));
    return match ? match->contact.DisplayName() : QString();
}

bool PopUpContact(WindowManager& windows, ContactWindows& open, const QString& number, QString* error) {
    const QString formatted = FormatCallerNumber(windows, number);
    std::unique_ptr<ContactStore> store = OpenContactStore(windows);
    std::optional<ContactMatch> match = FindContact(*store, formatted, PhoneRegion(windows));
    Contact contact;
    if (match) {
        contact = std::move(match->contact);
    } else {
        contact.phones[BusinessTelephoneNumber] = formatted;
    }
    auto* window = new frmContact(std::move(store), std::move(contact));
    open.Add(window);
    window->show();
    window->raise();
    window->activateWindow();
    if (error) error->clear();
    return true;
}

}  // namespace q5::calls
