// Every window of the program at the size it first opens with, after the
// first login (main window 6500 twips square, the demo mailbox's values
// loaded): each label, button, option, group title and text box shows its
// whole text, every control lies inside its window, a list's header shows
// every column's title, and an MDI child larger than the main window's
// area can still be scrolled to, also when maximised. The suite runs once
// at scale 1 and once with QT_SCALE_FACTOR=2.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "calls/contact_store.h"
#include "calls/frm_call_control.h"
#include "calls/register_windows.h"
#include "calls/frm_contact.h"
#include "calls/frm_pim_setup.h"
#include "calls/frm_properties.h"
#include "greetings/frm_greeting.h"
#include "mailbox/frm_advanced.h"
#include "mailbox/frm_call_out.h"
#include "mailbox/frm_conversion_table.h"
#include "mailbox/frm_mbx.h"
#include "program_fixture.h"
#include "shell/frm_about.h"
#include "shell/frm_login.h"
#include "shell/frm_main.h"
#include "ui_frm_main.h"

namespace q5test {
namespace {

std::string Name(const QWidget* widget) {
    QString name = widget->objectName();
    if (name.isEmpty()) name = QString::fromLatin1(widget->metaObject()->className());
    for (const QWidget* up = widget->parentWidget(); up && !up->isWindow(); up = up->parentWidget()) {
        if (!up->objectName().isEmpty() && !up->objectName().startsWith(QLatin1String("qt_"))) {
            name = up->objectName() + QLatin1Char('/') + name;
            break;
        }
    }
    return name.toStdString();
}

std::string Rect(const QRect& r) {
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}

// Width of a caption as drawn: a mnemonic '&' takes no room.
int CaptionWidth(const QFontMetrics& metrics, const QString& text, bool mnemonic) {
    return metrics.size(mnemonic ? int(Qt::TextShowMnemonic) : 0, text).width();
}

// What a control needs to show its whole text, against what it has; an
// empty string when it fits.
std::string TextFault(QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    QStyle* style = w->style();
    auto fault = [&](const QString& text, int need, int have) {
        if (need <= have) return std::string();
        return Name(w) + " shows " + std::to_string(have) + " of the " + std::to_string(need) +
               " pixels of \"" + text.toStdString() + "\"";
    };
    if (auto* label = qobject_cast<QLabel*>(w)) {
        const QString text = label->text();
        if (text.isEmpty() || Qt::mightBeRichText(text)) return {};
        const bool mnemonic = label->buddy() != nullptr;
        int indent = label->indent();
        if (indent < 0) indent = label->frameWidth() > 0 ? fm.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
        const QRect room = label->contentsRect().adjusted(label->margin() + indent, label->margin(),
                                                          -label->margin() - indent, -label->margin());
        if (label->wordWrap()) {
            const QRect need =
                fm.boundingRect(QRect(0, 0, room.width(), 100000),
                                Qt::TextWordWrap | (mnemonic ? Qt::TextShowMnemonic : 0), text);
            if (need.width() > room.width()) return fault(text, need.width(), room.width());
            return fault(text, need.height(), room.height()).empty()
                       ? std::string()
                       : Name(w) + " wraps \"" + text.toStdString() + "\" to " +
                             std::to_string(need.height()) + " pixels in " + std::to_string(room.height());
        }
        return fault(text, CaptionWidth(fm, text, mnemonic), room.width());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        const QString text = button->text();
        if (text.isEmpty()) return {};
        const int textWidth = CaptionWidth(fm, text, true);
        if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
            const int indicator = style->pixelMetric(
                radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, w);
            const int spacing = style->pixelMetric(
                radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
            return fault(text, indicator + spacing + textWidth, w->width());
        }
        if (qobject_cast<QToolButton*>(w)) return fault(text, textWidth + 4, w->width());
        // The style's margins and frame around the text (without the
        // smallest width some styles give every button).
        QStyleOptionButton option;
        option.initFrom(button);
        const QSize need =
            style->sizeFromContents(QStyle::CT_PushButton, &option, QSize(textWidth, fm.height()), w);
        return fault(text, need.width(), w->width());
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        const QString text = group->title();
        if (text.isEmpty()) return {};
        return fault(text, CaptionWidth(fm, text, true), w->width());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        const QString text = edit->displayText();
        if (text.isEmpty()) return {};
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth =
            edit->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        const QMargins margins = edit->textMargins();
        // The box keeps two pixels clear either side of its text.
        const int room = style->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() -
                         margins.left() - margins.right() - 4;
        return fault(text, fm.horizontalAdvance(text), room);
    }
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
        const QString text = combo->currentText();
        if (text.isEmpty()) return {};
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = false;
        option.frame = combo->hasFrame();
        const QRect field =
            style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        return fault(text, fm.horizontalAdvance(text), field.width());
    }
    if (auto* header = qobject_cast<QHeaderView*>(w); header && header->orientation() == Qt::Horizontal) {
        const QAbstractItemModel* model = header->model();
        if (!model) return {};
        const int margin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        int total = 0;
        std::string titles;
        for (int i = 0; i < header->count(); ++i) {
            if (header->isSectionHidden(i)) continue;
            total += header->sectionSize(i);
            const QString title = model->headerData(i, Qt::Horizontal).toString();
            if (fm.horizontalAdvance(title) + 2 * margin > header->sectionSize(i))
                titles += " \"" + title.toStdString() + "\"";
        }
        if (total > header->viewport()->width())
            return Name(w) + " needs " + std::to_string(total) + " pixels for its columns and has " +
                   std::to_string(header->viewport()->width());
        if (!titles.empty()) return Name(w) + " cuts the titles" + titles;
    }
    return {};
}

// Checks `w`'s visible children against `room` (in `top`'s coordinates),
// then theirs against their own rectangles. What a scroll area shows is
// its content: children of its viewport may lie outside the viewport, and
// their own children are checked against them. MDI children are windows
// of their own and checked as such.
void Walk(QWidget* top, QWidget* w, const QRect& room, bool scrolled, std::vector<std::string>& faults) {
    for (QObject* object : w->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || !child->isVisibleTo(top)) continue;
        if (qobject_cast<QMdiSubWindow*>(child)) continue;
        const QRect r(child->mapTo(top, QPoint(0, 0)), child->size());
        if (!scrolled && !room.contains(r))
            faults.push_back(Name(child) + " at " + Rect(r) + " lies outside " + Rect(room));
        if (std::string text = TextFault(child); !text.empty()) faults.push_back(text);
        const auto* area = qobject_cast<QAbstractScrollArea*>(w);
        const bool intoContent = area && child == area->viewport();
        Walk(top, child, r, intoContent, faults);
    }
}

// Where the area lets the user scroll, in its viewport's coordinates.
QRect Reachable(QMdiArea* area) {
    const QScrollBar* h = area->horizontalScrollBar();
    const QScrollBar* v = area->verticalScrollBar();
    const QSize view = area->viewport()->size();
    const bool hOn = area->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    const bool vOn = area->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
    const int left = hOn ? h->minimum() - h->value() : 0;
    const int top = vOn ? v->minimum() - v->value() : 0;
    return QRect(left, top, view.width() + (hOn ? h->maximum() - h->minimum() : 0),
                 view.height() + (vOn ? v->maximum() - v->minimum() : 0));
}

std::vector<std::string> Faults(QWidget* top) {
    std::vector<std::string> faults;
    if (std::string text = TextFault(top); !text.empty()) faults.push_back(text);
    Walk(top, top, top->rect(), false, faults);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(top)) {
        QMdiArea* area = frame->mdiArea();
        const QRect reachable = Reachable(area);
        if (!area->viewport()->rect().contains(frame->geometry().topLeft()))
            faults.push_back(Name(frame->widget()) + " frame at " + Rect(frame->geometry()) +
                             " opens with its corner out of sight");
        if (!reachable.contains(frame->geometry()))
            faults.push_back(Name(frame->widget()) + " frame at " + Rect(frame->geometry()) +
                             " cannot be scrolled to in the area; reachable " + Rect(reachable));
    }
    return faults;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += "\n  " + line;
    return all;
}

class FormLayoutTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        server_ = StartDemoServer();
        ASSERT_NE(server_->port(), 0);
    }
    void TearDown() override {
        q5::calls::ContactWindowsOf(windows()).DestroyAll();
        ProgramTest::TearDown();
        server_.reset();
    }

    q5::frmMain& Main() {
        LogIn(windows().Load<q5::frmLogin>(), QString::fromStdString(server_->user()),
              QString::fromStdString(server_->password()), HostOf(*server_), false);
        EXPECT_TRUE(session().loggedIn());
        q5::frmMain& main = windows().Load<q5::frmMain>();
        main.show();
        Settle();
        return main;
    }

    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            Pump();
            QTest::qWait(20);
        }
    }

    std::unique_ptr<TestServer> server_;
};

TEST_F(FormLayoutTest, EveryWindowShowsAllItsTextAndControlsAtItsFirstSize) {
    q5::frmMain& main = Main();
    EXPECT_EQ(main.mdiArea()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_EQ(main.mdiArea()->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QTemporaryDir contacts;
    ASSERT_TRUE(contacts.isValid());

    struct Case {
        const char* name;
        std::function<QWidget*()> open;  // the window or MDI frame to check
        bool mdi = false;
    };
    auto mbxPage = [&](int page) {
        return [this, &main, page]() -> QWidget* {
            main.ui()->mnuMailbox->trigger();
            Pump();
            q5::frmMbx* mbx = windows().Loaded<q5::frmMbx>();
            if (!mbx) return nullptr;
            QTabBar* tabs = mbx->findChild<QTabWidget*>(QStringLiteral("TabStrip1"))->tabBar();
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
            return mbx;
        };
    };
    const std::vector<Case> cases = {
        {"main window", [&]() -> QWidget* { return &main; }},
        // As the main window opened it.
        {"call control",
         [&]() -> QWidget* {
             return qobject_cast<q5::frmCallControl*>(windows().Loaded(q5::WindowKind::CallControl))
                 ->parentWidget();
         },
         true},
        {"greeting manager",
         [&]() -> QWidget* {
             main.ui()->mnuGreeting->trigger();
             return qobject_cast<q5::frmGreeting*>(windows().Loaded(q5::WindowKind::Greeting))
                 ->parentWidget();
         },
         true},
        {"advanced settings",
         [&]() -> QWidget* {
             main.ui()->mnuAdvanced->trigger();
             return windows().Loaded<q5::frmAdvanced>()->parentWidget();
         },
         true},
        {"conversion table",
         [&]() -> QWidget* {
             main.ui()->mnuConversionTable->trigger();
             return windows().Loaded<q5::frmConversionTable>()->parentWidget();
         },
         true},
        {"call-out settings",
         [&]() -> QWidget* {
             main.ui()->mnuCallOut->trigger();
             return windows().Loaded<q5::frmCallOut>()->parentWidget();
         },
         true},
        {"mailbox editor, General Settings", mbxPage(0)},
        {"mailbox editor, Email Settings", mbxPage(1)},
        {"mailbox editor, Callout Schedule", mbxPage(2)},
        {"mailbox editor, Conversion Table", mbxPage(3)},
        {"mailbox editor, Advanced Email Settings", mbxPage(4)},
        {"PIM setup",
         [&]() -> QWidget* {
             main.ui()->mnuPIMSetup->trigger();
             return qobject_cast<q5::frmPIMSetup*>(windows().Loaded(q5::WindowKind::PIMSetup));
         }},
        {"properties",
         [&]() -> QWidget* {
             main.ui()->mnuProperties->trigger();
             return qobject_cast<q5::frmProperties*>(windows().Loaded(q5::WindowKind::Properties));
         }},
        {"desktop settings",
         [&]() -> QWidget* {
             main.ui()->mnuDesktopSettings->trigger();
             return windows().Loaded(q5::WindowKind::DesktopSettings);
         }},
        {"about",
         [&]() -> QWidget* {
             q5::frmAbout& about = windows().Load<q5::frmAbout>();
             about.show();  // non-modal here, so the test can look at it
             return &about;
         }},
        {"contact",
         [&]() -> QWidget* {
             q5::calls::Contact contact;
             contact.fullName = QStringLiteral("Business Person");
             contact.organisation = QStringLiteral("Northwind Traders");
             contact.email = QStringLiteral("business.person@example.com");
             for (auto& phone : contact.phones) phone = QStringLiteral("(212) 555-0142");
             auto* window =
                 new q5::frmContact(std::make_unique<q5::calls::VCardFolderStore>(contacts.path()), contact);
             window->show();
             return window;
         }},
        {"login",
         [&]() -> QWidget* {
             q5::frmLogin& login = windows().Load<q5::frmLogin>();
             login.show();
             return &login;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* top = c.open();
        ASSERT_NE(top, nullptr);
        Settle();
        ASSERT_TRUE(top->isVisible());
        const std::vector<std::string> first = Faults(top);
        EXPECT_TRUE(first.empty()) << c.name << " at its first size " << Rect(top->geometry()) << ":"
                                   << Join(first);
        if (auto* frame = qobject_cast<QMdiSubWindow*>(top)) {
            ASSERT_TRUE(c.mdi);
            frame->showMaximized();
            Settle();
            const std::vector<std::string> maximised = Faults(top);
            EXPECT_TRUE(maximised.empty())
                << c.name << " maximised " << Rect(top->geometry()) << ":" << Join(maximised);
            frame->showNormal();
            Settle();
        } else {
            EXPECT_FALSE(c.mdi) << c.name << " should open in the main window's area";
        }
    }
}

}  // namespace
}  // namespace q5test
