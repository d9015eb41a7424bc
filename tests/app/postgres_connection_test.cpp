// The window and the server's comings and goings: a start with the server away, a reader account, a
// post the server refuses, and an update cut off by the server stopping.
#include <sys/wait.h>
#include <unistd.h>

#include <QLabel>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <regex>
#include <thread>

#include "app/window_fixture.h"
#include "db/connection.h"
#include "db/database_file.h"
#include "db/postgres_connection.h"
#include "db/postgres_database_copy.h"
#include "db/record_set.h"
#include "exchange/import_line_classifier.h"
#include "exchange/master_list_file.h"
#include "exchange/master_list_import.h"
#include "support/loopback_server.h"
#include "support/postgres_schema.h"

namespace lumaref::test {
namespace {

constexpr const char* kReadOnlyAccount = "This account may only read the journal list.";

const std::vector<TestJournal> kJournals = {
    {"Alpha", "Physics", "Optics", "Monthly", "1000-0001", "", "0.1", "", 1},
    {"Beta", "Physics", "Optics", "Monthly", "1000-0002", "", "0.2", "", 1},
    {"Gamma", "Chemistry", "Organic", "Monthly", "1000-0003", "", "0.3", "", 1},
};

// A master list of two journals, as a user downloads it.
constexpr const char* kMasterList =
    "1. DELTA LETTERS\r\nMonthly\r\nISSN: 2000-0001\r\n2. EPSILON REVIEWS\r\nMonthly\r\nISSN: 2000-0002\r\n";

class PostgresConnectionTest : public WindowTest {
protected:
    void SetUp() override {
        if (const auto reason = PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
        server = std::make_unique<PostgresSchema>();
        createLibrary(kJournals);
        copyLibraryToServer(server->conninfo());
        writeProgramFile("Science Citation Index.txt", kMasterList);
    }
    std::string journalCount() { return server->queryText("SELECT count(*) FROM journals"); }
    QString databasePlace() { return window().findChild<QLabel*>(QStringLiteral("StatusDatabase"))->text(); }
    // Fills the import panel with the master list and clicks "Import".
    void clickImport() {
        retype(Role::ImportFileEdit, QString::fromStdString(programDir() + "/Science Citation Index.txt"));
        retype(Role::ImportCategoryEdit, "Physics");
        retype(Role::ImportSubjectEdit, "Optics");
        click(Role::ImportButton);
    }
    // A role that may read and add journals and change them.
    std::string createWriter() {
        std::string writer = server->createReader();
        server->exec("GRANT INSERT, UPDATE ON journals TO " + writer);
        return writer;
    }

    std::unique_ptr<PostgresSchema> server;
};

// Started while nothing answers where the server should be: one message naming the server and where it
// is set, a window that stays open, and the journals once the server answers at a later action.
TEST_F(PostgresConnectionTest, AStartWithTheServerAwaySaysSoOnceAndALaterActionConnects) {
    LoopbackServer gate(LoopbackServer::Mode::Closed);
    openWindowOnOwnDatabase(gate.conninfo(server->conninfo()), "database= in /etc/lumaref.conf");
    activateWindow();
    const char* database = std::getenv("PGDATABASE");
    EXPECT_EQ(prompts.errors(),
              QStringList{QString::fromStdString(
                  "Could not reach the database server 127.0.0.1:" + std::to_string(gate.port()) +
                  " (database " + (database != nullptr ? database : "") +
                  "): nothing answered there. The server is named by database= in /etc/lumaref.conf. Lumaref "
                  "tries again at your next action.")});
    EXPECT_TRUE(window().isVisible());
    EXPECT_FALSE(journals().active());
    retype(Role::SearchEdit, "Al");
    EXPECT_EQ(prompts.errors().size(), 1) << "browsing while the server is away asks nothing more";

    gate.setMode(LoopbackServer::Mode::Forward);
    click(Role::AllIndexesButton);
    EXPECT_EQ(prompts.errors().size(), 1) << prompts.errors().join('\n').toStdString();
    EXPECT_EQ(gridRows(), 3);
    EXPECT_EQ(text(Role::RecordCountLabel), "3");
    EXPECT_FALSE(items(Role::CategoryBox).isEmpty()) << "the pick lists come with the connection";
    EXPECT_TRUE(databasePlace().endsWith(QStringLiteral(" on 127.0.0.1:%1").arg(gate.port())))
        << databasePlace().toStdString();
}

// An administrator's process loads a master list while a reader's window is open; the reader's import
// is refused before it starts, in one message, and the search goes on without a second one.
TEST_F(PostgresConnectionTest, AReaderBesideAnAdministratorIsRefusedOnceAndSearchesOn) {
    openWindowOnOwnDatabase(server->conninfo(server->createReader()));
    activateWindow();
    EXPECT_TRUE(databasePlace().endsWith(QStringLiteral("(read-only account)")))
        << databasePlace().toStdString();

    const std::string listPath = programDir() + "/Science Citation Index.txt";
    const pid_t administrator = fork();
    ASSERT_GE(administrator, 0);
    if (administrator == 0) {
        try {
            Connection connection(server->conninfo());
            RecordSet journals("ADOQuery1", connection, "journals");
            journals.open();
            MasterListLines lines(readMasterListFile(listPath));
            ImportLineClassifier classifier;
            lumaref::importMasterList(lines, journals, classifier, "Physics", "Optics");
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(administrator, &status, 0), administrator);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(journalCount(), "5");

    enterAdminMode();
    clickImport();
    EXPECT_EQ(prompts.errors(), QStringList{kReadOnlyAccount});
    click(Role::UpdateImpactFactorsButton);
    click(Role::UpdateListsButton);
    EXPECT_EQ(prompts.errors(), (QStringList{kReadOnlyAccount, kReadOnlyAccount, kReadOnlyAccount}));
    EXPECT_TRUE(prompts.messages().isEmpty()) << "no job reports a finish";
    EXPECT_EQ(journalCount(), "5");

    retype(Role::SearchFieldBox, "Journal Title");
    retype(Role::SearchEdit, "Gam");
    EXPECT_EQ(prompts.errors().size(), 3) << "nothing was left pending to post again";
    EXPECT_EQ(gridRows(), 1);
}

// The server refuses the posts of an account whose rights were taken away after the window started:
// one error box, nothing left pending, and the search goes on without a second box.
TEST_F(PostgresConnectionTest, APostTheServerRefusesLeavesNothingPending) {
    const std::string writer = createWriter();
    openWindowOnOwnDatabase(server->conninfo(writer));
    activateWindow();
    EXPECT_FALSE(databasePlace().contains(QStringLiteral("read-only"))) << databasePlace().toStdString();
    server->exec("REVOKE INSERT ON journals FROM " + writer);

    enterAdminMode();
    clickImport();
    EXPECT_EQ(prompts.errors(), QStringList{kReadOnlyMessage});
    EXPECT_EQ(journalCount(), "3");
    EXPECT_EQ(journals().recordCount(), 3) << "the refused records are not shown";

    retype(Role::SearchFieldBox, "Journal Title");
    for (const char* typed : {"A", "Al", "Alp"}) retype(Role::SearchEdit, typed);
    EXPECT_EQ(prompts.errors().size(), 1) << prompts.errors().join('\n').toStdString();
    EXPECT_EQ(gridRows(), 1);
    EXPECT_EQ(journalCount(), "3");
}

// The throwaway server (pg_virtualenv's) stops while the impact factors go onto it: the update ends
// with what it did and what to do; once the server is back, the next click finishes it.
TEST_F(PostgresConnectionTest, AnUpdateCutByAServerStopSaysHowFarItGotAndARerunFinishes) {
    const char* version = std::getenv("PGVERSION");
    if (version == nullptr) GTEST_SKIP() << "needs pg_virtualenv's server, to stop and start it";
    const std::string cluster = std::string("pg_ctlcluster ") + version + " regress ";
    constexpr int kTotal = 40000;
    server->exec(
        "INSERT INTO journals (\"Title\", \"ISSN\") SELECT 'J' || g, '3' || lpad(g::text, 3, '0') || '-' || "
        "lpad(g::text, 4, '0') FROM generate_series(4, " +
        std::to_string(kTotal) +
        ") g ORDER BY g;"
        "INSERT INTO jcr2018 (\"ISSN\", \"Journal Impact Factor\", \"Total Cites\", "
        "\"Impact Factor without Journal Self Cites\") SELECT \"ISSN\", '1.5', '10', '1.2' FROM journals;");
    const std::string updated =
        "SELECT count(*) FROM journals WHERE \"IF\" = '1.5' AND \"Total Cites\" = '10'";
    openWindowOnOwnDatabase(server->conninfo());
    activateWindow();
    enterAdminMode();

    std::thread stopper([&] {
        PgConnection watcher(server->conninfo());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (std::stoi(std::string(watcher.exec(updated).value(0, 0))) < 1000 &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(std::system((cluster + "stop -m immediate").c_str()), 0);
    });
    click(Role::UpdateImpactFactorsButton);
    stopper.join();
    ASSERT_EQ(prompts.errors().size(), 1);
    const std::string message = prompts.errors().front().toStdString();
    std::smatch done;
    ASSERT_TRUE(
        std::regex_match(message, done,
                         std::regex("Impact factors: ([0-9,]+) of the 40,000 journals shown were updated "
                                    "before the connection to the server was lost\\. Run the update "
                                    "again to finish\\.")))
        << message;

    ASSERT_EQ(std::system((cluster + "start").c_str()), 0);
    const int reported = std::stoi(std::regex_replace(done[1].str(), std::regex(","), ""));
    EXPECT_GE(std::stoi(server->queryText(updated)), reported) << "every journal reported is stored";
    click(Role::UpdateImpactFactorsButton);
    EXPECT_EQ(prompts.errors().size(), 1) << prompts.errors().join('\n').toStdString();
    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    EXPECT_EQ(server->queryText(updated), std::to_string(kTotal));
}

}  // namespace
}  // namespace lumaref::test
