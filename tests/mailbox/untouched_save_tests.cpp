// Opening a mailbox window on the demo mailboxes and saving without an edit
// changes nothing: every row of q5sim's database reads the same, byte for
// byte, before and after.
#include <sqlite3.h>

#include <QApplication>
#include <QToolBar>
#include <QtTest/QTest>

#include <string>
#include <type_traits>
#include <vector>

#include "mailbox/frm_advanced.h"
#include "mailbox/frm_call_out.h"
#include "mailbox/frm_conversion_table.h"
#include "mailbox/frm_mbx.h"
#include "mailbox_fixture.h"

namespace q5test {
namespace {

// A read-only connection of our own to q5sim's database.
class Database {
public:
    explicit Database(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "cannot open " << path << ": " << sqlite3_errmsg(db_);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::vector<std::string> Dump();

private:
    sqlite3* db_ = nullptr;
};

// Every row of every table, as "table|rowid|name=type:bytes|...", in rowid
// order.
std::vector<std::string> Database::Dump() {
    std::vector<std::string> rows;
    sqlite3* db = db_;
    std::vector<std::string> tables;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &list,
                       nullptr);
    while (sqlite3_step(list) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    for (const std::string& table : tables) {
        if (table.rfind("sqlite_", 0) == 0) continue;
        sqlite3_stmt* select = nullptr;
        const std::string sql = "SELECT rowid, * FROM \"" + table + "\" ORDER BY rowid";
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(db);
            continue;
        }
        while (sqlite3_step(select) == SQLITE_ROW) {
            std::string row = table;
            for (int i = 0; i < sqlite3_column_count(select); ++i) {
                const int type = sqlite3_column_type(select, i);
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(select, i));
                row += '|' + std::string(sqlite3_column_name(select, i)) + '=' + std::to_string(type) + ':' +
                       std::string(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(select, i)));
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(select);
    }
    return rows;
}

template <class Form>
void OpenAndSaveUntouched(q5::Program& program) {
    Form& form = program.windows().Load<Form>();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // A save that went through clears the flag (the key press window keeps
    // none and leaves it alone).
    program.session().setFieldsChanged(true);
    QTest::mouseClick(form.tbToolBar->widgetForAction(form.tbSave), Qt::LeftButton);
    if constexpr (!std::is_same_v<Form, q5::frmConversionTable>) {
        EXPECT_FALSE(program.session().fieldsChanged()) << "Save did not go through";
    }
    program.session().setFieldsChanged(false);
    form.close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

using UntouchedSaveTest = MailboxTest;

TEST_F(UntouchedSaveTest, EveryMailboxWindowSavedWithoutEditsLeavesTheDatabaseAsItWas) {
    auto* sim = dynamic_cast<Q5Sim*>(server_.get());
    ASSERT_NE(sim, nullptr);
    Database database(sim->data_dir() + "/q5sim.db");
    struct Mailbox {
        const char* number;
        const char* password;
    };
    for (const Mailbox& box : {Mailbox{"101", "1234"}, Mailbox{"102", "2345"}}) {
        SCOPED_TRACE(box.number);
        BStr user = Wide(QString::fromLatin1(box.number)), password = Wide(QString::fromLatin1(box.password));
        ASSERT_EQ(session().Call(nullptr, [&](const q5::SessionViews& views) {
                      return views.connect->Login(user.Get(), password.Get());
                  }),
                  S_OK);
        session().setUserName(QString::fromLatin1(box.number));
        const std::vector<std::string> before = database.Dump();
        ASSERT_FALSE(before.empty());
        OpenAndSaveUntouched<q5::frmMbx>(*program_);
        OpenAndSaveUntouched<q5::frmAdvanced>(*program_);
        OpenAndSaveUntouched<q5::frmConversionTable>(*program_);
        OpenAndSaveUntouched<q5::frmCallOut>(*program_);
        EXPECT_TRUE(asked().empty()) << asked().front().text.toStdString();
        const std::vector<std::string> after = database.Dump();
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[i]);
    }
}

}  // namespace
}  // namespace q5test
