#include "shell/resolve_captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVariant>
#include <QWidget>

#include "shell/shell_logic.h"

namespace q5::shell {

namespace {

std::optional<QString> TagText(const QObject* object) {
    const QVariant tag = object->property("tag");
    if (!tag.isValid()) return std::nullopt;
    return CaptionText(tag.toString());
}

// Only positive numbers name entries for the controls of no special kind.
std::optional<QString> PositiveEntry(const QString& key) {
    bool numeric = false;
    const int number = key.trimmed().toInt(&numeric);
    if (!numeric || number <= 0) return std::nullopt;
    return CaptionText(number);
}

void ResolveTabs(QTabBar* tabs) {
    for (int i = 0; i < tabs->count(); ++i) {
        if (auto text = CaptionText(tabs->tabText(i))) tabs->setTabText(i, *text);
        if (auto tip = CaptionText(tabs->tabToolTip(i))) tabs->setTabToolTip(i, *tip);
    }
}

void ResolveControl(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (auto text = TagText(label)) label->setText(*text);
        return;
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(control)) {
        ResolveTabs(tabs->tabBar());
        return;
    }
    if (auto* tabs = qobject_cast<QTabBar*>(control)) {
        ResolveTabs(tabs);
        return;
    }
    if (auto* toolbar = qobject_cast<QToolBar*>(control)) {
        for (QAction* action : toolbar->actions()) {
            if (auto tip = CaptionText(action->toolTip())) action->setToolTip(*tip);
        }
        return;
    }
    if (auto* tree = qobject_cast<QTreeWidget*>(control)) {
        if (QTreeWidgetItem* header = tree->headerItem()) {
            for (int column = 0; column < header->columnCount(); ++column) {
                if (auto text = CaptionText(header->text(column))) header->setText(column, *text);
            }
        }
        return;
    }
    if (auto tag = control->property("tag"); tag.isValid()) {
        if (auto text = PositiveEntry(tag.toString())) {
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                button->setText(*text);
            } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
                group->setTitle(*text);
            } else {
                control->setProperty("text", *text);
            }
        }
    }
    if (auto tip = PositiveEntry(control->toolTip())) control->setToolTip(*tip);
}

}  // namespace

void ResolveCaptions(QWidget* window) {
    if (!window) return;
    if (auto title = TagText(window)) window->setWindowTitle(*title);
    // Entries 20 and 21 (font name and size) are not in the table: the
    // window keeps its font.
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (auto* menu = qobject_cast<QMenu*>(control)) {
            if (auto title = CaptionText(menu->title())) menu->setTitle(*title);
            continue;
        }
        ResolveControl(control);
    }
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->menu()) continue;  // its menu's title is done above
        if (auto text = CaptionText(action->text())) action->setText(*text);
    }
}

}  // namespace q5::shell
