// Every kind of window the program registers, opened as the user opens it
// after the first login, and every page of its tab strips: each input,
// button and list has a name a screen reader can say (its own text, a
// buddy label's or an accessible name), no two controls shown together
// share a mnemonic (nor with the main menu bar for the windows in its
// area), and the Tab key visits the enabled inputs in the order of the
// form's layout.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "calls/contact_store.h"
#include "calls/frm_contact.h"
#include "program_fixture.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "ui_frm_main.h"

namespace q5test {
namespace {

bool IsControl(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractButton*>(w) ||
           qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QSlider*>(w);
}

// Shown on the form's current page, and not in a window of the main
// window's area when the form is the main window.
bool IsShownOn(const QWidget* w, const QWidget* form) {
    if (!w->isVisibleTo(form)) return false;
    for (const QWidget* up = w->parentWidget(); up && up != form; up = up->parentWidget()) {
        if (qobject_cast<const QMdiSubWindow*>(up)) return false;
    }
    return true;
}

// A control of the form itself, shown, and not a part of another control
// (a combo box's edit, a list's header).
bool IsFormControl(const QWidget* w, const QWidget* form) {
    if (!IsControl(w) || !IsShownOn(w, form)) return false;
    for (const QWidget* up = w->parentWidget(); up && up != form; up = up->parentWidget()) {
        if (IsControl(up) || qobject_cast<const QToolBar*>(up) || qobject_cast<const QMenuBar*>(up))
            return false;
    }
    return true;
}

std::string NameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? w->metaObject()->className() : w->objectName().toStdString();
}

QString SpokenName(const QWidget* w, const QWidget* form) {
    if (!w->accessibleName().trimmed().isEmpty()) return w->accessibleName();
    for (const QLabel* label : form->findChildren<QLabel*>()) {
        if (label->buddy() == w && !label->text().trimmed().isEmpty()) return label->text();
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
        static const QRegularExpression word(QStringLiteral("[[:alnum:]]"));
        if (button->text().contains(word)) return button->text();
    }
    return {};
}

// The controls in the order the form's layouts place them: grid and form
// rows from the top, each row from the left.
void LayoutOrder(QLayout* layout, const QWidget* form, std::vector<QWidget*>& out);
void WidgetOrder(QWidget* w, const QWidget* form, std::vector<QWidget*>& out) {
    if (IsFormControl(w, form)) {
        out.push_back(w);
        return;
    }
    if (w->layout()) {
        LayoutOrder(w->layout(), form, out);
        return;
    }
    for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        WidgetOrder(child, form, out);
}
void LayoutOrder(QLayout* layout, const QWidget* form, std::vector<QWidget*>& out) {
    std::vector<std::pair<std::pair<int, int>, int>> cells;
    for (int i = 0; i < layout->count(); ++i) {
        int row = 0, column = i, span_r = 0, span_c = 0;
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            grid->getItemPosition(i, &row, &column, &span_r, &span_c);
        } else if (auto* rows = qobject_cast<QFormLayout*>(layout)) {
            QFormLayout::ItemRole role;
            rows->getItemPosition(i, &row, &role);
            column = static_cast<int>(role);
        }
        cells.push_back({{row, column}, i});
    }
    std::stable_sort(cells.begin(), cells.end());
    for (const auto& cell : cells) {
        QLayoutItem* item = layout->itemAt(cell.second);
        if (QWidget* w = item->widget()) {
            WidgetOrder(w, form, out);
        } else if (QLayout* inner = item->layout()) {
            LayoutOrder(inner, form, out);
        }
    }
}

struct Findings {
    std::set<std::string> faults;
    std::set<const QWidget*> inputs;        // edit boxes, combo boxes, pickers, lists, sliders
    std::set<const QWidget*> named_inputs;  // of them, with a buddy label or an accessible name
};

void CheckPage(QWidget* form, Findings& found) {
    std::vector<QWidget*> controls;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (IsFormControl(w, form)) controls.push_back(w);
    }
    // Names.
    for (QWidget* w : controls) {
        const bool input = !qobject_cast<QAbstractButton*>(w);
        const QString name = SpokenName(w, form);
        if (input) found.inputs.insert(w);
        if (input && !name.isEmpty()) found.named_inputs.insert(w);
        if (name.isEmpty()) found.faults.insert(NameOf(w) + " has no name");
    }
    // Mnemonics of everything shown together.
    std::map<QKeySequence, std::string> keys;
    auto take = [&](const QString& text, const std::string& who) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (key.isEmpty()) return;
        const auto [at, fresh] = keys.emplace(key, who);
        if (!fresh)
            found.faults.insert(key.toString().toStdString() + " is both " + at->second + " and " + who);
    };
    for (QWidget* w : controls) {
        if (auto* button = qobject_cast<QAbstractButton*>(w)) take(button->text(), NameOf(w));
    }
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->buddy() && IsShownOn(label, form)) take(label->text(), NameOf(label));
    }
    if (auto* bar = form->window()->findChild<QMenuBar*>()) {
        for (QAction* menu : bar->actions()) take(menu->text(), "menu " + menu->text().toStdString());
    }
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        std::map<QKeySequence, std::string> items;
        for (QAction* item : menu->actions()) {
            const QKeySequence key = QKeySequence::mnemonic(item->text());
            if (!key.isEmpty() && !items.emplace(key, item->text().toStdString()).second)
                found.faults.insert("menu " + menu->title().toStdString() + " has " +
                                    key.toString().toStdString() + " twice");
        }
    }
    // Tab order: the focus chain from the form against the layout.
    auto tabbed = [form](QWidget* w) {
        return IsFormControl(w, form) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
    };
    std::vector<QWidget*> chain, laid_out;
    for (QWidget* w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain()) {
        if (form->isAncestorOf(w) && tabbed(w) && std::find(chain.begin(), chain.end(), w) == chain.end())
            chain.push_back(w);
    }
    if (form->layout()) LayoutOrder(form->layout(), form, laid_out);
    laid_out.erase(std::remove_if(laid_out.begin(), laid_out.end(), [&](QWidget* w) { return !tabbed(w); }),
                   laid_out.end());
    for (size_t i = 0; i < std::min(chain.size(), laid_out.size()); ++i) {
        if (chain[i] != laid_out[i]) {
            found.faults.insert("Tab goes from " + (i ? NameOf(chain[i - 1]) : "the start") + " to " +
                                NameOf(chain[i]) + ", the layout to " + NameOf(laid_out[i]));
            break;
        }
    }
    if (chain.size() != laid_out.size()) found.faults.insert("Tab misses controls of the layout");
}

Findings Check(QWidget* form) {
    Findings found;
    const QList<QTabWidget*> strips = form->findChildren<QTabWidget*>();
    if (strips.isEmpty()) {
        CheckPage(form, found);
        return found;
    }
    for (QTabWidget* strip : strips) {
        for (int page = 0; page < strip->count(); ++page) {
            strip->setCurrentIndex(page);
            QCoreApplication::processEvents();
            CheckPage(form, found);
        }
        strip->setCurrentIndex(0);
    }
    return found;
}

class AccessibilityTest : public ProgramTest {};

TEST_F(AccessibilityTest, EveryWindowNamesItsControlsHasUniqueMnemonicsAndTabsInLayoutOrder) {
    auto server = StartDemoServer();
    ASSERT_NE(server->port(), 0);
    LogIn(windows().Load<q5::frmLogin>(), QString::fromStdString(server->user()),
          QString::fromStdString(server->password()), HostOf(*server), false);
    ASSERT_TRUE(session().loggedIn());
    q5::frmMain& main = windows().Load<q5::frmMain>();
    main.show();
    Pump();
    QTemporaryDir contacts;
    ASSERT_TRUE(contacts.isValid());

    using Kind = q5::WindowKind;
    auto menu = [&](QAction* item, Kind kind) {
        return [this, item, kind] {
            item->trigger();
            Pump();
            return windows().Loaded(kind);
        };
    };
    auto loaded = [this](Kind kind) {
        return [this, kind] {
            QWidget& form = windows().Load(kind);
            form.show();  // non-modal here, so the test can look at it
            Pump();
            return &form;
        };
    };
    const std::map<Kind, std::function<QWidget*()>> open = {
        {Kind::Main, [&main] { return &main; }},
        {Kind::CallControl,
         [this] { return windows().Loaded(Kind::CallControl); }},  // the main window opened it
        {Kind::Greeting, menu(main.ui()->mnuGreeting, Kind::Greeting)},
        {Kind::Advanced, menu(main.ui()->mnuAdvanced, Kind::Advanced)},
        {Kind::ConversionTable, menu(main.ui()->mnuConversionTable, Kind::ConversionTable)},
        {Kind::CallOut, menu(main.ui()->mnuCallOut, Kind::CallOut)},
        {Kind::Mbx, menu(main.ui()->mnuMailbox, Kind::Mbx)},
        {Kind::PIMSetup, menu(main.ui()->mnuPIMSetup, Kind::PIMSetup)},
        {Kind::Properties, menu(main.ui()->mnuProperties, Kind::Properties)},
        {Kind::About, loaded(Kind::About)},
        {Kind::Login, loaded(Kind::Login)},
    };
    ASSERT_EQ(open.size(), static_cast<size_t>(Kind::Count_)) << "a kind of window nobody checks";

    std::vector<std::pair<std::string, std::function<QWidget*()>>> cases;
    for (const auto& [kind, opener] : open) cases.emplace_back("kind " + std::to_string(int(kind)), opener);
    std::unique_ptr<q5::frmContact> contact;
    cases.emplace_back("contact", [&contacts, &contact] {
        contact = std::make_unique<q5::frmContact>(
            std::make_unique<q5::calls::VCardFolderStore>(contacts.path()), q5::calls::Contact{});
        contact->show();
        return contact.get();
    });
    int inputs = 0, named = 0, forms = 0, in_order = 0;
    for (const auto& [label, opener] : cases) {
        QWidget* form = opener();
        ASSERT_NE(form, nullptr) << label;
        SCOPED_TRACE(NameOf(form));
        const Findings found = Check(form);
        inputs += static_cast<int>(found.inputs.size());
        named += static_cast<int>(found.named_inputs.size());
        ++forms;
        if (std::none_of(found.faults.begin(), found.faults.end(),
                         [](const std::string& f) { return f.rfind("Tab ", 0) == 0; }))
            ++in_order;
        for (const std::string& fault : found.faults) ADD_FAILURE() << NameOf(form) << ": " << fault;
    }
    std::cout << "windows " << forms << ", Tab order as laid out " << in_order << ", inputs " << inputs
              << ", named " << named << std::endl;
}

}  // namespace
}  // namespace q5test
