// The advanced settings, key press and call-out windows against q5sim.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QToolBar>
#include <QtTest/QTest>

#include <functional>

#include "mailbox/drop_down_combo.h"
#include "mailbox/frm_advanced.h"
#include "mailbox/frm_call_out.h"
#include "mailbox/frm_conversion_table.h"
#include "mailbox/frm_mbx.h"
#include "mailbox_fixture.h"
#include "shell/frm_main.h"
#include "ui_frm_advanced.h"
#include "ui_frm_call_out.h"
#include "ui_frm_conversion_table.h"

namespace q5test {
namespace {

using q5::shell::MsgAnswer;

template <class Form>
Form& OpenWindow(q5::Program& program) {
    Form& form = program.windows().Load<Form>();
    form.show();
    return form;
}

void PumpEvents() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

// Closes the window as the user does; true when it went.
template <class Form>
bool Close(q5::Program& program) {
    program.windows().Loaded<Form>()->close();
    PumpEvents();
    return program.windows().Loaded<Form>() == nullptr;
}

// Clicks the toolbar's "Save" button of a window.
template <class Form>
void ClickSave(Form& form) {
    QWidget* button = form.tbToolBar->widgetForAction(form.tbSave);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Clicks into a box, goes to its end and types.
void TypeAtEnd(QWidget* box, const QString& text) {
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClicks(box, text);
}

using SmallWindowTest = MailboxTest;

// The mailbox editor, a window of its own, leaves BOX_EMAIL2 selected. Going
// back to a small window in the main window does not change the active
// state of its frame, so only Save selecting its own table makes the edit
// reach the server.
TEST_F(SmallWindowTest, SaveAfterEditorRanStillWritesItsOwnTable) {
    struct Case {
        const char* window;
        std::function<QWidget*(q5::frmMain&)> open;  // opens it, returns the box to type into
        std::function<void()> save;
        QString table, field;
    };
    const std::vector<Case> cases = {
        {"Advanced",
         [this](q5::frmMain& main) {
             main.ShowAdvanced();
             return windows().Loaded<q5::frmAdvanced>()->ui()->Text9;
         },
         [this] { ClickSave(*windows().Loaded<q5::frmAdvanced>()); }, QStringLiteral("BOX"),
         QStringLiteral("WAKE_UP_WEEK_NUM")},
        {"Key Press",
         [this](q5::frmMain& main) {
             main.ShowConversionTable();
             return windows().Loaded<q5::frmConversionTable>()->Combo18[1]->lineEdit();
         },
         [this] { ClickSave(*windows().Loaded<q5::frmConversionTable>()); }, QStringLiteral("BOX"),
         QStringLiteral("CON_TBL_0")},
        {"Call Out Settings",
         [this](q5::frmMain& main) {
             main.ShowCallOut();
             return static_cast<QWidget*>(windows().Loaded<q5::frmCallOut>()->Text16[0]);
         },
         [this] { ClickSave(*windows().Loaded<q5::frmCallOut>()); }, QStringLiteral("BOX_BIN"),
         QStringLiteral("NUM0")},
    };
    session().setHost(HostOf(*server_));
    auto& main = OpenWindow<q5::frmMain>(*program_);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window);
        const QString before = peer().Get(c.table, c.field).trimmed();
        QWidget* box = c.open(main);
        main.ShowMbx();
        auto* editor = windows().Loaded<q5::frmMbx>();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        TypeAtEnd(box, QStringLiteral("7"));
        ASSERT_TRUE(box->hasFocus());
        c.save();
        EXPECT_TRUE(asked().empty()) << asked().front().text.toStdString();
        EXPECT_EQ(peer().Get(c.table, c.field).trimmed().toStdString(),
                  (before + QStringLiteral("7")).toStdString());
        editor->close();
        Pump();
    }
}

using AdvancedTest = MailboxTest;

TEST_F(AdvancedTest, ValuesShowAsReadAndSaveTrimmed) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("WAKE_UP_WEEK_HOUR"), QStringLiteral(" 0730")},
                                       {QStringLiteral("SCREEN"), QStringLiteral("V")},
                                       {QStringLiteral("WAKEUP_WEEK_ON"), QStringLiteral("Y")},
                                       {QStringLiteral("WAKEUP_WEEKEND_ON"), QStringLiteral("Y")},
                                       {QStringLiteral("CALL_OUT_ACTIVE"), QStringLiteral(" Y")}});
    session().setNameScreening(false);
    auto& form = OpenWindow<q5::frmAdvanced>(*program_);
    EXPECT_EQ(form.ui()->Text11->text(), QStringLiteral(" 0730"));
    EXPECT_TRUE(form.Option2[1]->isChecked());
    EXPECT_FALSE(form.ui()->Check4->isChecked());  // " Y" is not "Y" here
    EXPECT_FALSE(session().nameScreening());              // this window leaves it alone
    EXPECT_FALSE(session().fieldsChanged());
    form.ui()->Check3->click();
    form.tbSave->trigger();
    EXPECT_FALSE(session().fieldsChanged());
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKE_UP_WEEK_HOUR")), QStringLiteral("0730"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("SCREEN")), QStringLiteral("V"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKEUP_WEEKEND_ON")), QStringLiteral("N"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKEUP_WEEK_ON")), QStringLiteral("Y"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CALL_OUT_ACTIVE")), QStringLiteral("N"));
}

TEST_F(AdvancedTest, StillWritesBoxAfterTheEditorSelectedAnotherTable) {
    auto& form = OpenWindow<q5::frmAdvanced>(*program_);
    OpenWindow<q5::frmMbx>(*program_);  // its Load leaves BOX_EMAIL2 selected
    form.ui()->Text9->setText(QStringLiteral(" 3125550199 "));
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&form, &activate);
    form.Save();
    EXPECT_TRUE(asked().empty());
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKE_UP_WEEK_NUM")),
              QStringLiteral("3125550199"));
}

TEST_F(AdvancedTest, ActivatingItsFrameInTheMainWindowSelectsBoxAgain) {
    auto& main = OpenWindow<q5::frmMain>(*program_);
    main.ShowAdvanced();
    auto& form = *windows().Loaded<q5::frmAdvanced>();
    auto* frame = qobject_cast<QMdiSubWindow*>(form.parentWidget());
    ASSERT_NE(frame, nullptr);
    main.ShowConversionTable();  // another child becomes the active one
    main.ShowMbx();              // leaves BOX_EMAIL2 selected
    form.ui()->Text8->setText(QStringLiteral("7185550111"));
    main.mdiArea()->setActiveSubWindow(frame);
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKE_UP_WEEKEND_NUM")),
              QStringLiteral("7185550111"));
}

TEST_F(AdvancedTest, OpeningAndClosingUntouchedAsksNothingButEditsAsk) {
    OpenWindow<q5::frmAdvanced>(*program_);
    EXPECT_TRUE(Close<q5::frmAdvanced>(*program_));
    EXPECT_TRUE(asked().empty());
    auto& form = OpenWindow<q5::frmAdvanced>(*program_);
    form.Option1[1]->click();  // paging: counts, never stored
    Answer({MsgAnswer::cancel, MsgAnswer::no});
    EXPECT_FALSE(Close<q5::frmAdvanced>(*program_));
    EXPECT_TRUE(form.Option1[1]->isChecked());
    EXPECT_TRUE(Close<q5::frmAdvanced>(*program_));
    EXPECT_EQ(asked().size(), 2u);
    EXPECT_FALSE(session().fieldsChanged());
}

using ConversionTableTest = MailboxTest;

TEST_F(ConversionTableTest, CodesShowAndSaveUnchangedTrimmedAndKeyZeroIsConTbl9) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("CON_TBL_0"), QStringLiteral("/G")},
                                       {QStringLiteral("CON_TBL_4"), QStringLiteral("  2345 ")},
                                       {QStringLiteral("DEP_OVER"), QStringLiteral("Y ")}});
    auto& form = OpenWindow<q5::frmConversionTable>(*program_);
    EXPECT_EQ(form.Combo18[1]->currentText(), QStringLiteral("/G"));
    EXPECT_EQ(form.Combo18[5]->currentText(), QStringLiteral("2345"));
    EXPECT_TRUE(form.ui()->Check6->isChecked());
    form.Combo18[0]->setEditText(QStringLiteral("2001"));
    form.tbSave->trigger();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_9")), QStringLiteral("2001"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_0")), QStringLiteral("/G"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_4")), QStringLiteral("2345"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("DEP_OVER")), QStringLiteral("Y"));
}

TEST_F(ConversionTableTest, ClosingWithUnsavedEditsClosesAtOnce) {
    auto& form = OpenWindow<q5::frmConversionTable>(*program_);
    form.Combo18[3]->setEditText(QStringLiteral("/F"));
    session().setFieldsChanged(true);  // even another window's unsaved edits do not make it ask
    EXPECT_TRUE(Close<q5::frmConversionTable>(*program_));
    EXPECT_TRUE(asked().empty());
}

TEST_F(ConversionTableTest, EditorAndKeyPressWindowReadEachOther) {
    auto& keys = OpenWindow<q5::frmConversionTable>(*program_);
    keys.Combo18[1]->setEditText(QStringLiteral("/R"));
    keys.Save();
    auto& editor = OpenWindow<q5::frmMbx>(*program_);
    EXPECT_EQ(editor.Combo18[1]->currentText(), QStringLiteral("Record"));
}

using CallOutTest = MailboxTest;

TEST_F(CallOutTest, ValuesTrimmedWhereReadSoAndLowerCaseYClears) {
    peer().Put(QStringLiteral("BOX_BIN"), {{QStringLiteral("SCHED2_FROM"), QStringLiteral("0900  ")},
                                           {QStringLiteral("SCHED0_ACTIVE"), QStringLiteral("y")},
                                           {QStringLiteral("NUM1"), QStringLiteral(" 5550101 ")},
                                           {QStringLiteral("SCHED4_EXM"), QStringLiteral("9")}});
    auto& form = OpenWindow<q5::frmCallOut>(*program_);
    EXPECT_EQ(form.Grid[20 - 18][2]->text(), QStringLiteral("0900"));
    EXPECT_EQ(form.Text16[1]->text(), QStringLiteral(" 5550101 "));
    EXPECT_FALSE(form.Check1[0]->isChecked());
    form.tbSave->trigger();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED2_FROM")), QStringLiteral("0900"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED0_ACTIVE")), QStringLiteral("N"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("NUM1")), QStringLiteral(" 5550101 "));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED4_EXM")), QStringLiteral("9"));
}

TEST_F(CallOutTest, InactiveGreysFramesButTheirValuesAreSaved) {
    auto& form = OpenWindow<q5::frmCallOut>(*program_);
    EXPECT_TRUE(form.ui()->fraSchedule->isEnabled());
    form.ui()->Check8->click();
    form.ui()->Check8->click();
    EXPECT_FALSE(form.ui()->fraSchedule->isEnabled());
    EXPECT_FALSE(form.ui()->fraNumbers->isEnabled());
    form.Grid[27 - 18][6]->setText(QStringLiteral("3"));
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED6_ATTEMP3")), QStringLiteral("3"));
}

TEST_F(CallOutTest, UntouchedClosesWithoutAskingAndCancelKeepsEdits) {
    OpenWindow<q5::frmCallOut>(*program_);
    EXPECT_TRUE(Close<q5::frmCallOut>(*program_));
    EXPECT_TRUE(asked().empty());
    auto& form = OpenWindow<q5::frmCallOut>(*program_);
    form.Combo16[2]->showPopup();
    form.Combo16[2]->hidePopup();
    form.Combo16[2]->setEditText(QStringLiteral("cell"));
    ASSERT_TRUE(session().fieldsChanged());
    Answer({MsgAnswer::cancel});
    EXPECT_FALSE(Close<q5::frmCallOut>(*program_));
    EXPECT_EQ(form.Combo16[2]->currentText(), QStringLiteral("cell"));
    Answer({MsgAnswer::yes});
    EXPECT_TRUE(Close<q5::frmCallOut>(*program_));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("TYPE2")), QStringLiteral("cell"));
}

TEST_F(CallOutTest, FailedSaveIsReportedAndKeepsWindowAndEdits) {
    auto& form = OpenWindow<q5::frmCallOut>(*program_);
    form.Text17[0]->setText(QStringLiteral("MTWTF"));
    session().setFieldsChanged(true);
    server_->Stop();
    Answer({MsgAnswer::yes, MsgAnswer::ok});
    EXPECT_FALSE(Close<q5::frmCallOut>(*program_));
    ASSERT_EQ(asked().size(), 2u);
    EXPECT_EQ(asked()[1].title, QStringLiteral("Disconnected..."));
    EXPECT_EQ(form.Text17[0]->text(), QStringLiteral("MTWTF"));
    EXPECT_TRUE(session().fieldsChanged());
}

}  // namespace
}  // namespace q5test
