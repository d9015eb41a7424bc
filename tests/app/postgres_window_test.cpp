// The window over a PostgreSQL server, with another workstation on the same database.
#include <memory>

#include "app/window_fixture.h"
#include "db/store.h"
#include "support/error_text.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

// index: 1 SCI, 3 ESCI.
const std::vector<TestJournal> kJournals = {
    {"Alpha", "Physics", "Optics", "Monthly", "1000-0001", "", "0.1", "", 1},
    {"Beta", "Physics", "Optics", "Monthly", "1000-0002", "", "0.2", "", 3},
    {"Gamma", "Chemistry", "Organic", "Monthly", "1000-0003", "", "0.3", "", 0},
};

class PostgresWindowTest : public WindowTest {
protected:
    void SetUp() override {
        if (const auto reason = PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
        server = std::make_unique<PostgresSchema>();
        createLibrary(kJournals);
        execSql(databasePath(),
                rankingRowsSql({{"1000-0001", "100", "1.1", "1.0"}, {"1000-0002", "200", "2.2", "2.0"}}));
        copyLibraryToServer(server->conninfo());
    }
    // IF, Total Cites and the impact factor without self cites as the server holds them.
    std::string serverFigures(const char* title) {
        return server->queryText(
            "SELECT concat_ws(' ', quote_nullable(\"IF\"), quote_nullable(\"Total Cites\"), "
            "quote_nullable(\"Impact Factor without Journal Self Cites\")) FROM journals WHERE \"Title\" = " +
            sqlQuoted(title));
    }

    std::unique_ptr<PostgresSchema> server;
};

TEST_F(PostgresWindowTest, AnImpactFactorUpdateReachesTheServerAndAStaleEditElsewhereIsRefused) {
    // Another workstation reads the journals before the update.
    JournalDatabase other(server->conninfo());
    other.journals.open();

    openWindowOnOwnDatabase(server->conninfo());
    activateWindow();
    enterAdminMode();
    click(Role::UpdateImpactFactorsButton);
    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    EXPECT_TRUE(prompts.errors().isEmpty());
    EXPECT_EQ(serverFigures("Alpha"), "'1.1' '100' '1.0'");
    EXPECT_EQ(serverFigures("Beta"), "'0.2' NULL NULL") << "Emerging Sources are left out";
    EXPECT_EQ(serverFigures("Gamma"), "'0.3' NULL NULL");

    // It then edits Alpha, which the update changed since: refused, and the update's figures stay.
    // Gamma, which nobody changed, takes its edit.
    const struct {
        const char* title;
        std::string error;
        const char* stored;
    } edits[] = {
        {"Alpha", kRowConflictMessage, "'1.1' '100' '1.0'"},
        {"Gamma", "(no error)", "'7.7' NULL NULL"},
    };
    RecordSet& journals = other.journals;
    for (const auto& e : edits) {
        SCOPED_TRACE(e.title);
        journals.setFiltered(false);
        journals.setFilter(std::string("Title = '") + e.title + "'");
        journals.setFiltered(true);
        ASSERT_EQ(journals.recordCount(), 1);
        journals.edit();
        journals.setFieldAsString("IF", "7.7");
        EXPECT_EQ(errorOf([&] { journals.post(); }), e.error);
        journals.cancel();
        EXPECT_EQ(serverFigures(e.title), e.stored);
    }
}

// A role that may read every table but the journals opens the window: it says so in its own words,
// never in the server's, and goes on with the tables it may read.
TEST_F(PostgresWindowTest, AJournalListTheRoleMayNotReadIsOneClearMessage) {
    const std::string role = server->createReader();
    server->exec("REVOKE SELECT ON journals FROM " + role);
    openWindowOnOwnDatabase(server->conninfo(role));
    activateWindow();
    ASSERT_FALSE(prompts.errors().isEmpty());
    EXPECT_EQ(prompts.errors().front().toStdString(), noReadPermissionMessage("journals"));
    for (const QString& error : prompts.errors())
        EXPECT_FALSE(error.contains("permission denied")) << error.toStdString();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(text(Role::CurrentRecordLabel), "0");
}

}  // namespace
}  // namespace lumaref::test
