// The mailbox editor against q5sim: what it shows of the stored values and
// what reaches the server when it saves, read back through a second
// connection.
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimeEdit>
#include <QToolBar>
#include <QtTest/QTest>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>
#include <string_view>
#include <thread>
#include <type_traits>

#include "mailbox/drop_down_combo.h"
#include "mailbox/frm_mbx.h"
#include "mailbox/frm_advanced.h"
#include "mailbox/frm_call_out.h"
#include "mailbox/frm_conversion_table.h"
#include "mailbox_fixture.h"
#include "shell/frm_main.h"
#include "ui_frm_mbx.h"

namespace q5test {
namespace {

using q5::frmMbx;
using q5::shell::MsgAnswer;

class EditorTest : public MailboxTest {
protected:
    frmMbx& Open() {
        frmMbx& form = windows().Load<frmMbx>();
        form.show();
        return form;
    }
    // Closes the window as the user does; true when it went.
    bool CloseByUser() {
        frmMbx* form = windows().Loaded<frmMbx>();
        form->close();
        Pump();
        return windows().Loaded<frmMbx>() == nullptr;
    }
};

TEST_F(EditorTest, ConversionCodesShowAsNamesUnderTheKeyAfterThem) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("CON_TBL_0"), QStringLiteral("/G")},
                                       {QStringLiteral("CON_TBL_1"), QStringLiteral(" 2345 ")},
                                       {QStringLiteral("CON_TBL_9"), QStringLiteral("9999999")}});
    frmMbx& form = Open();
    EXPECT_EQ(form.Combo18[1]->currentText(), QStringLiteral("Greeting"));
    EXPECT_EQ(form.Combo18[2]->currentText(), QStringLiteral("2345"));
    EXPECT_EQ(form.Combo18[0]->currentText(), QStringLiteral("Main Menu"));
    EXPECT_FALSE(session().fieldsChanged());

    form.Combo18[3]->setEditText(QStringLiteral("greeting"));  // typed, not the list entry
    form.Combo18[4]->setCurrentIndex(0);                       // "Pager"
    form.tbSave->trigger();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_0")), QStringLiteral("/G"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_1")), QStringLiteral("2345"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_2")), QStringLiteral("greeting"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_3")), QStringLiteral("/B"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CON_TBL_9")), QStringLiteral("9999999"));
}

// An editable combo box completed what was typed against its list without
// regard to case, so "greeting" was stored as the code of "Greeting".
TEST_F(EditorTest, TypedConversionTextIsSavedAsTyped) {
    frmMbx& form = Open();
    form.ui()->TabStrip1->setCurrentIndex(3);  // "Conversion Table"
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    struct Typed {
        int key;
        const char* keys;
        Qt::Key end;
        const char* field;
        const char* stored;
    };
    // Each typed text is shown as typed; only the list's own text turns
    // into its code.
    const Typed typed[] = {
        {3, "greeting", Qt::Key_Tab, "CON_TBL_2", "greeting"}, {4, "f", Qt::Key_Tab, "CON_TBL_3", "f"},
        {5, "cell", Qt::Key_Return, "CON_TBL_4", "cell"},      {6, "Fa", Qt::Key_Tab, "CON_TBL_5", "Fa"},
        {7, "Fax", Qt::Key_Return, "CON_TBL_6", "/F"},
    };
    for (const Typed& t : typed) {
        QLineEdit* edit = form.Combo18[static_cast<size_t>(t.key)]->lineEdit();
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, QString::fromLatin1(t.keys));
        QTest::keyClick(edit, t.end);
    }
    for (const Typed& t : typed)
        EXPECT_EQ(form.Combo18[static_cast<size_t>(t.key)]->currentText().toStdString(), t.keys);
    QTest::mouseClick(form.tbToolBar->widgetForAction(form.tbSave), Qt::LeftButton);
    for (const Typed& t : typed)
        EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QString::fromLatin1(t.field)).toStdString(), t.stored)
            << t.keys;
}

TEST_F(EditorTest, ScheduleTimesRoundTripAndEmptyFromWritesNoonIntoBoth) {
    peer().Put(QStringLiteral("BOX_BIN"), {{QStringLiteral("SCHED0_FROM"), QStringLiteral("0830")},
                                           {QStringLiteral("SCHED0_UNTIL"), QStringLiteral("1715")},
                                           {QStringLiteral("SCHED1_FROM"), QString()},
                                           {QStringLiteral("SCHED1_UNTIL"), QStringLiteral("0930")}});
    frmMbx& form = Open();
    EXPECT_EQ(form.DTPicker3[0]->text(), QStringLiteral("08:30 AM"));
    EXPECT_EQ(form.DTPicker4[0]->text(), QStringLiteral("05:15 PM"));
    EXPECT_EQ(form.DTPicker3[1]->text(), QStringLiteral("12:00 PM"));
    EXPECT_EQ(form.DTPicker4[1]->text(), QStringLiteral("12:00 PM"));
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED0_FROM")), QStringLiteral("0830"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED0_UNTIL")), QStringLiteral("1715"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED1_FROM")), QStringLiteral("1200"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED1_UNTIL")), QStringLiteral("1200"));
}

TEST_F(EditorTest, UnknownOptionCodeSelectsNothingAndIsLeftAsRead) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("SCREEN"), QStringLiteral("Q")},
                                       {QStringLiteral("TRANS_CALL"), QStringLiteral("Z")}});
    peer().Put(QStringLiteral("BOX_EMAIL"), {{QStringLiteral("MWI"), QStringLiteral("q")}});
    frmMbx& form = Open();
    for (auto* button : form.Option2) EXPECT_FALSE(button->isChecked());
    for (auto* button : form.Option3) EXPECT_FALSE(button->isChecked());
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("SCREEN")), QStringLiteral("Q"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("TRANS_CALL")), QStringLiteral("Z"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL"), QStringLiteral("MWI")), QStringLiteral("q"));
}

TEST_F(EditorTest, ColumnsTheWindowDoesNotShowGoBackAsRead) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("LAST_N"), QStringLiteral("Ramirez")},
                                       {QStringLiteral("FAX_DID"), QStringLiteral("5550100")}});
    peer().Put(QStringLiteral("BOX_BIN"), {{QStringLiteral("SCHED3_EXM"), QStringLiteral("17")},
                                           {QStringLiteral("SCHED6_EMM"), QStringLiteral("42")}});
    peer().Put(QStringLiteral("BOX_EMAIL"),
               {{QStringLiteral("TIMEINT"), QStringLiteral("15")},
                {QStringLiteral("REPLY_ADDRESS"), QStringLiteral("me@example.org")}});
    frmMbx& form = Open();
    form.ui()->Text9->setText(QStringLiteral("2125550100"));
    form.Text16[2]->setText(QStringLiteral("5550123"));
    form.ui()->Text49->setText(QStringLiteral("mwi@example.org"));
    form.Text29[0]->setText(QStringLiteral("fwd@example.org"));
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("LAST_N")), QStringLiteral("Ramirez"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("FAX_DID")), QStringLiteral("5550100"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKE_UP_WEEK_NUM")),
              QStringLiteral("2125550100"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED3_EXM")), QStringLiteral("17"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED6_EMM")), QStringLiteral("42"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("NUM2")), QStringLiteral("5550123"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL"), QStringLiteral("TIMEINT")), QStringLiteral("15"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL"), QStringLiteral("REPLY_ADDRESS")),
              QStringLiteral("me@example.org"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL"), QStringLiteral("MWI_ADDRESS")),
              QStringLiteral("mwi@example.org"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL2"), QStringLiteral("RCPT1")),
              QStringLiteral("fwd@example.org"));
}

TEST_F(EditorTest, WakeUpTimeAndScreeningSurviveSaveCloseAndReopen) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("WAKE_UP_WEEK_HOUR"), QStringLiteral(" 0730")},
                                       {QStringLiteral("SCREEN"), QStringLiteral("V")}});
    frmMbx& form = Open();
    EXPECT_EQ(form.ui()->DTPicker1->text(), QStringLiteral("07:30 AM"));
    EXPECT_EQ(form.ui()->Text11->text(), QStringLiteral("0730"));
    EXPECT_TRUE(form.Option2[1]->isChecked());
    EXPECT_TRUE(session().nameScreening());
    form.ui()->DTPicker1->setTime(QTime(18, 45));
    form.Option2[3]->click();
    EXPECT_FALSE(session().nameScreening());  // at once, before any save
    EXPECT_TRUE(session().fieldsChanged());
    form.tbSave->trigger();
    EXPECT_FALSE(session().fieldsChanged());
    EXPECT_TRUE(CloseByUser());
    EXPECT_TRUE(asked().empty());

    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKE_UP_WEEK_HOUR")), QStringLiteral("1845"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("SCREEN")), QStringLiteral("C"));
    frmMbx& again = Open();
    EXPECT_EQ(again.ui()->DTPicker1->text(), QStringLiteral("06:45 PM"));
    EXPECT_TRUE(again.Option2[3]->isChecked());
}

TEST_F(EditorTest, CancelOnAskSaveKeepsWindowAndEditsAndNoClosesWithoutSaving) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("WAKEUP_WEEK_ON"), QStringLiteral("N")}});
    frmMbx& form = Open();
    form.ui()->Check2->click();
    ASSERT_TRUE(session().fieldsChanged());
    Answer({MsgAnswer::cancel});
    EXPECT_FALSE(CloseByUser());
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("Fields have been changed. Do you want to save?"));
    EXPECT_EQ(asked()[0].title, QStringLiteral("Fields changed"));
    EXPECT_EQ(asked()[0].default_button, MsgAnswer::no);
    EXPECT_TRUE(form.ui()->Check2->isChecked());
    Answer({MsgAnswer::no});
    EXPECT_TRUE(CloseByUser());
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("WAKEUP_WEEK_ON")), QStringLiteral("N"));
    EXPECT_FALSE(session().fieldsChanged());
}

// Save writes BOX_BIN, BOX and BOX_EMAIL as Load read them, but reads
// BOX_EMAIL2 again before it writes that one.
TEST_F(EditorTest, SaveReReadsBoxEmail2BeforeWritingIt) {
    auto* sim = dynamic_cast<Q5Sim*>(server_.get());
    ASSERT_NE(sim, nullptr);
    frmMbx& form = Open();
    QTest::mouseClick(form.ui()->Check2, Qt::LeftButton);
    QTest::mouseClick(form.tbToolBar->widgetForAction(form.tbSave), Qt::LeftButton);
    EXPECT_FALSE(session().fieldsChanged());
    // The program's commands from the Save's first, in order (q5sim logs
    // each one just after its reply).
    const std::vector<std::string> expected = {"PUT BOX_BIN", "PUT BOX", "PUT BOX_EMAIL", "GET BOX_EMAIL2",
                                               "PUT BOX_EMAIL2"};
    std::vector<std::string> commands;
    const bool all_logged = QTest::qWaitFor(
        [&] {
            commands.clear();
            std::istringstream lines(sim->Log());
            for (std::string line; std::getline(lines, line);) {
                const std::size_t at = line.find(" 101: ");
                if (at == std::string::npos) continue;
                const std::size_t arrow = line.find(" -> ", at);
                commands.push_back(line.substr(at + 6, arrow - at - 6));
            }
            const auto first = std::find(commands.begin(), commands.end(), expected.front());
            commands.erase(commands.begin(), first);
            return commands.size() >= expected.size();
        },
        10000);
    EXPECT_TRUE(all_logged);
    EXPECT_EQ(commands, expected);
}

TEST_F(EditorTest, YesOnAskSaveSavesBeforeClosing) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("CALL_OUT_ACTIVE"), QStringLiteral("N")}});
    frmMbx& form = Open();
    form.ui()->Check4->click();
    Answer({MsgAnswer::yes});
    EXPECT_TRUE(CloseByUser());
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CALL_OUT_ACTIVE")), QStringLiteral("Y"));
}

TEST_F(EditorTest, YesOnClosingWhileTheServerIsGoneKeepsWindowAndEdits) {
    frmMbx& form = Open();
    const bool was = form.ui()->Check4->isChecked();
    QTest::mouseClick(form.ui()->Check4, Qt::LeftButton);
    ASSERT_TRUE(session().fieldsChanged());
    server_->Stop();
    Answer({MsgAnswer::yes, MsgAnswer::ok});
    EXPECT_FALSE(CloseByUser());
    ASSERT_EQ(asked().size(), 2u);
    EXPECT_EQ(asked()[1].title, QStringLiteral("Disconnected..."));
    EXPECT_EQ(windows().Loaded<frmMbx>(), &form);
    EXPECT_NE(form.ui()->Check4->isChecked(), was);
    EXPECT_TRUE(session().fieldsChanged());
}

// Closing the program used to end the session first and drop the editor's
// unsaved edits without a word.
TEST_F(EditorTest, ClosingTheProgramOffersUnsavedEditsFirstAndCancelKeepsItRunning) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("CALL_OUT_ACTIVE"), QStringLiteral("N")}});
    session().setHost(HostOf(*server_));
    q5::frmMain& main = windows().Load<q5::frmMain>();
    main.show();
    Pump();
    frmMbx& form = Open();
    form.ui()->Check4->click();
    ASSERT_TRUE(session().fieldsChanged());
    const std::size_t before = asked().size();

    Answer({MsgAnswer::cancel});
    main.close();
    Pump();
    ASSERT_EQ(asked().size(), before + 1);
    EXPECT_EQ(asked().back().text, QStringLiteral("Fields have been changed. Do you want to save?"));
    EXPECT_FALSE(windows().ProgramEnding());
    EXPECT_EQ(windows().Loaded<q5::frmMain>(), &main);
    EXPECT_EQ(windows().Loaded<frmMbx>(), &form);
    EXPECT_TRUE(form.ui()->Check4->isChecked());

    Answer({MsgAnswer::yes});
    main.close();
    Pump();
    EXPECT_TRUE(windows().ProgramEnding());
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CALL_OUT_ACTIVE")), QStringLiteral("Y"));
}

TEST_F(EditorTest, EditsThatDoNotCountAskNothingOnClosing) {
    frmMbx& form = Open();
    form.ui()->DTPicker1->setTime(QTime(5, 0));  // wake-up pickers do not count
    form.Text29[0]->setText(QStringLiteral("x@example.org"));
    form.Option1[2]->click();  // Overhead Paging counts, though nothing stores it
    EXPECT_TRUE(session().fieldsChanged());
    session().setFieldsChanged(false);
    EXPECT_TRUE(CloseByUser());
    EXPECT_TRUE(asked().empty());
}

TEST_F(EditorTest, ForwardingValuesLongerThanTheirBoxesGoBackWhole) {
    const QString long_subject = QStringLiteral("A subject that is longer than thirty characters");
    peer().Put(QStringLiteral("BOX_EMAIL2"),
               {{QStringLiteral("SUBJECT2"), long_subject},
                {QStringLiteral("TXT2"), QStringLiteral("  notice-for-callers.txt ")}});
    frmMbx& form = Open();
    // Each box shows what it takes.
    EXPECT_EQ(form.Subject[1]->text(), long_subject.left(30));
    EXPECT_EQ(form.FileName[6]->text(), QStringLiteral("notice-for-call"));
    // Typing stops at the box's limit.
    form.FileName[2]->clear();
    QTest::keyClicks(form.FileName[2], QStringLiteral("abcdefghijklmnopqrst"));
    EXPECT_EQ(form.FileName[2]->text(), QStringLiteral("abcdefghijklmno"));
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL2"), QStringLiteral("SUBJECT2")), long_subject);
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL2"), QStringLiteral("TXT2")),
              QStringLiteral("notice-for-callers.txt"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL2"), QStringLiteral("ATTACH3")),
              QStringLiteral("abcdefghijklmno"));
}

// A value far longer than its box used to be placed whole into it: the
// editor took half a minute to open and came up wider than the screen.
TEST_F(EditorTest, MegabyteValuesOpenFastCutToTheirBoxAndGoBackWholeUnlessEdited) {
    const auto big = [](char first) {
        QString value(1 << 20, QLatin1Char('x'));
        for (qsizetype i = 0; i < value.size(); i += 7)
            value[i] = QLatin1Char(static_cast<char>(first + i % 5));
        return value;
    };
    struct Field {
        const char* table;
        const char* name;
        char first;
    };
    // Three to a record: q5sim takes records of up to 4 MiB.
    const Field fields[] = {
        {"BOX", "WAKE_UP_WEEK_NUM", 'a'},  {"BOX", "CALL_OUT_NUMBER", 'b'}, {"BOX", "CON_TBL_1", 'c'},
        {"BOX_BIN", "NUM1", 'h'},          {"BOX_BIN", "TYPE0", 'e'},       {"BOX_BIN", "SCHED0_BIN1", 'g'},
        {"BOX_EMAIL", "MWI_ADDRESS", 'i'}, {"BOX_EMAIL2", "SUBJECT1", 'j'}, {"BOX_EMAIL2", "TXT1", 'k'},
        {"BOX_EMAIL2", "RCPT2", 'l'},
    };
    for (const Field& f : fields)
        peer().Put(QString::fromLatin1(f.table), {{QString::fromLatin1(f.name), big(f.first)}});

    QElapsedTimer clock;
    clock.start();
    frmMbx& form = Open();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const qint64 open_ms = clock.elapsed();
    std::printf("mailbox editor opened with 1 MiB values in %lld ms\n", static_cast<long long>(open_ms));
    EXPECT_LT(open_ms, 5000);
    EXPECT_LE(form.frameGeometry().width(), form.screen()->availableGeometry().width());
    // Each box shows what it can take.
    EXPECT_EQ(form.ui()->Text9->text(), big('a').left(form.ui()->Text9->maxLength()));
    EXPECT_EQ(form.Text16[1]->text(), big('h').left(form.Text16[1]->maxLength()));
    EXPECT_EQ(form.Subject[0]->text(), big('j').left(30));
    EXPECT_EQ(form.FileName[5]->text(), big('k').left(15));
    EXPECT_LE(form.Combo18[2]->currentText().size(), form.Combo18[2]->lineEdit()->maxLength());
    EXPECT_TRUE(big('g').startsWith(form.ComboTry[0][0]->currentText()));
    EXPECT_LT(form.ComboTry[0][0]->currentText().size(), 1 << 10);

    // The user changes two of them.
    QTest::mouseClick(form.ui()->Text9, Qt::LeftButton);
    QTest::keyClick(form.ui()->Text9, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(form.ui()->Text9, QStringLiteral("5550100"));
    form.ui()->TabStrip1->setCurrentIndex(4);  // "Advanced Email Settings"
    QTest::mouseClick(form.Text29[1], Qt::LeftButton);
    QTest::keyClick(form.Text29[1], Qt::Key_End);
    QTest::keyClick(form.Text29[1], Qt::Key_Backspace);
    const QString shortened = form.Text29[1]->text();
    EXPECT_EQ(shortened, big('l').left(29));
    QTest::mouseClick(form.tbToolBar->widgetForAction(form.tbSave), Qt::LeftButton);
    EXPECT_TRUE(CloseByUser());

    // The small windows share the rule: each opens fast and saves back
    // whole what it shows cut.
    const auto open_and_save = [this](auto* type, const char* name) {
        using Form = std::remove_pointer_t<decltype(type)>;
        QElapsedTimer timer;
        timer.start();
        Form& small = windows().Load<Form>();
        small.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&small));
        std::printf("%s opened with 1 MiB values in %lld ms\n", name,
                    static_cast<long long>(timer.elapsed()));
        EXPECT_LT(timer.elapsed(), 5000) << name;
        EXPECT_LE(small.frameGeometry().width(), small.screen()->availableGeometry().width()) << name;
        QTest::mouseClick(small.tbToolBar->widgetForAction(small.tbSave), Qt::LeftButton);
        small.close();
        Pump();
    };
    open_and_save(static_cast<q5::frmAdvanced*>(nullptr), "Advanced");
    open_and_save(static_cast<q5::frmConversionTable*>(nullptr), "Key Press");
    open_and_save(static_cast<q5::frmCallOut*>(nullptr), "Call Out Settings");
    EXPECT_TRUE(asked().empty());
    for (const Field& f : fields) {
        const QString stored = peer().Get(QString::fromLatin1(f.table), QString::fromLatin1(f.name));
        if (std::string_view(f.name) == "WAKE_UP_WEEK_NUM") {
            EXPECT_EQ(stored, QStringLiteral("5550100"));
        } else if (std::string_view(f.name) == "RCPT2") {
            EXPECT_EQ(stored, shortened);
        } else {
            EXPECT_EQ(stored.size(), big(f.first).size()) << f.name;
            EXPECT_TRUE(stored == big(f.first)) << f.name;
        }
    }
}

TEST_F(EditorTest, OneZeroBoxesReadNumbersAndWriteOneOrZero) {
    peer().Put(QStringLiteral("BOX_BIN"), {{QStringLiteral("SCHED0_NM"), QStringLiteral("x")},
                                           {QStringLiteral("SCHED1_NM"), QStringLiteral("2")},
                                           {QStringLiteral("SCHED2_PM"), QString()},
                                           {QStringLiteral("SCHED3_ACTIVE"), QStringLiteral("y")}});
    frmMbx& form = Open();
    EXPECT_FALSE(form.Check5[0]->isChecked());
    EXPECT_TRUE(form.Check5[1]->isChecked());
    EXPECT_FALSE(form.Check7[2]->isChecked());
    EXPECT_FALSE(form.Check1[3]->isChecked());
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED0_NM")), QStringLiteral("0"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED1_NM")), QStringLiteral("1"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED2_PM")), QStringLiteral("0"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED3_ACTIVE")), QStringLiteral("N"));
}

TEST_F(EditorTest, InactiveCallOutScheduleGreysFramesButStillSavesThem) {
    peer().Put(QStringLiteral("BOX"), {{QStringLiteral("CALL_SCHEDUALE"), QStringLiteral("N")}});
    // A bin outside the list "", "1" to "7" is shown and goes back as it was.
    const QString stored_bin2 = QStringLiteral("9");
    peer().Put(QStringLiteral("BOX_BIN"), {{QStringLiteral("SCHED0_BIN2"), QStringLiteral(" 9")}});
    frmMbx& form = Open();
    EXPECT_EQ(form.ComboTry[2][0]->currentText(), stored_bin2);
    EXPECT_FALSE(form.ui()->fraNumbers->isEnabled());
    EXPECT_FALSE(form.ui()->fraSchedule->isEnabled());
    form.ui()->Check8->click();
    EXPECT_TRUE(form.ui()->fraSchedule->isEnabled());
    form.ui()->Check8->click();
    form.Text16[0]->setText(QStringLiteral("9175550000"));
    form.ComboTry[0][0]->setCurrentIndex(3);
    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED0_BIN2")), stored_bin2);
    EXPECT_EQ(peer().Get(QStringLiteral("BOX"), QStringLiteral("CALL_SCHEDUALE")), QStringLiteral("N"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("NUM0")), QStringLiteral("9175550000"));
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_BIN"), QStringLiteral("SCHED0_BIN1")), QStringLiteral("3"));
}

TEST_F(EditorTest, DropDownsAndSchedulePickerClicksCountAsEdits) {
    frmMbx& form = Open();
    form.Combo18[5]->showPopup();
    form.Combo18[5]->hidePopup();
    EXPECT_TRUE(session().fieldsChanged());
    session().setFieldsChanged(false);
    form.Text16[0]->setText(QStringLiteral("1"));  // set by code: not a key press
    EXPECT_FALSE(session().fieldsChanged());
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(form.DTPicker4[6], &press);  // on its arrows
    EXPECT_TRUE(session().fieldsChanged());
    session().setFieldsChanged(false);
    QTest::mouseClick(form.DTPicker3[2]->findChild<QLineEdit*>(), Qt::LeftButton);  // on its digits
    EXPECT_TRUE(session().fieldsChanged());
}

class SendFileTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        windows().Register(q5::WindowKind::Mbx, [this] {
            return new frmMbx(session(), windows(), [this](QWidget*, const QString& title, const QString& filter) {
                titles_.push_back(title);
                filters_.push_back(filter);
                return next_path_;
            });
        });
    }
    QString MakeFile(const QString& name, int bytes) {
        const QString path = QString::fromStdString(home_->path()) + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(bytes, 'a'));
        return path;
    }

    QString next_path_;
    std::vector<QString> titles_, filters_;
};

TEST_F(SendFileTest, SendWithoutChosenFileSaysSoAndSendsNothing) {
    frmMbx& form = Open();
    form.Command2[7]->click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_EQ(asked()[0].text, QStringLiteral("You must select a file before uploading to the server"));
}

TEST_F(SendFileTest, ChosenFileIsUploadedUnderItsNameButStoredOnlyWithTheNextSave) {
    frmMbx& form = Open();
    const QString original = peer().Get(QStringLiteral("BOX_EMAIL2"), QStringLiteral("TXT1"));
    next_path_ = MakeFile(QStringLiteral("note1.txt"), 20000);
    form.Command1[5]->click();
    ASSERT_EQ(titles_.size(), 1u);
    EXPECT_EQ(titles_[0], QStringLiteral("Attachment..."));
    EXPECT_FALSE(filters_[0].isEmpty());
    EXPECT_EQ(form.FileName[5]->text(), QStringLiteral("note1.txt"));
    EXPECT_EQ(form.local_path(5), next_path_);
    EXPECT_TRUE(session().fieldsChanged());

    form.Command2[5]->click();
    EXPECT_TRUE(asked().empty()) << asked().front().text.toStdString();
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 0);
    const QString fetched = QString::fromStdString(home_->path()) + QStringLiteral("/fetched.txt");
    ASSERT_EQ(peer().Fetch(QStringLiteral("note1.txt"), fetched), S_OK);
    EXPECT_EQ(QFileInfo(fetched).size(), 20000);
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL2"), QStringLiteral("TXT1")), original);

    form.Save();
    EXPECT_EQ(peer().Get(QStringLiteral("BOX_EMAIL2"), QStringLiteral("TXT1")), QStringLiteral("note1.txt"));
}

TEST_F(SendFileTest, NamesTheServerCannotStoreAreRefusedBeforeSending) {
    frmMbx& form = Open();
    next_path_ = MakeFile(QStringLiteral("a-very-long-name.doc"), 10);
    form.Command1[0]->click();
    ASSERT_EQ(asked().size(), 1u);
    EXPECT_TRUE(form.local_path(0).isEmpty());
    next_path_ = MakeFile(QStringLiteral("ok.doc"), 10);
    form.Command1[0]->click();
    form.FileName[0]->setText(QStringLiteral("my doc"));
    form.Command2[0]->click();
    ASSERT_EQ(asked().size(), 2u);
    EXPECT_TRUE(asked()[1].text.contains(QStringLiteral("blank")));
    const QString fetched = QString::fromStdString(home_->path()) + QStringLiteral("/never");
    EXPECT_NE(peer().Fetch(QStringLiteral("my doc"), fetched), S_OK);
}

TEST_F(SendFileTest, CancelledDialogEmptiesTheNameButKeepsThePath) {
    frmMbx& form = Open();
    next_path_ = MakeFile(QStringLiteral("a.wav"), 10);
    form.Command1[1]->click();
    EXPECT_TRUE(filters_[0].isEmpty());  // attachment slots take any file
    next_path_.clear();
    form.Command1[1]->click();
    EXPECT_TRUE(form.FileName[1]->text().isEmpty());
    EXPECT_FALSE(form.local_path(1).isEmpty());
}

TEST_F(SendFileTest, ProgressReportsMoveTheBar) {
    frmMbx& form = Open();
    ISupportEvents* sink = form.progress_sink();
    // The library reports from the session thread; the bar moves on the
    // window's own.
    const auto report = [sink](LONG bytes, LONG total) {
        std::thread([sink, bytes, total] { sink->GetProgress(bytes, total); }).join();
        Pump();
    };
    report(0, 1000);
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 1);
    report(1000, 1000);
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 100);
    report(10, 0);
    EXPECT_EQ(form.ui()->ProgressBar1->value(), 0);
}

TEST_F(EditorTest, LostConnectionDuringSaveOffersLoginAndStops) {
    frmMbx& form = Open();
    form.ui()->Check3->click();
    server_->Stop();
    Answer({MsgAnswer::ok});
    form.Save();
    ASSERT_FALSE(asked().empty());
    EXPECT_EQ(asked()[0].title, QStringLiteral("Disconnected..."));
    EXPECT_EQ(asked().size(), 1u);  // the rest of Save did nothing
    EXPECT_TRUE(session().fieldsChanged());
}

}  // namespace
}  // namespace q5test
