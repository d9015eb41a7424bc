// Two programs on one database: the window, and lumaref-convert run as a process of its own loading a
// master list meanwhile. The window takes the load in while idle; a rebuild of the pick lists in a
// window that has not yet done so still keeps what the load added. On an SQLite file and on a server.
#include <QProcess>
#include <QTest>

#include <memory>

#include "app/window_fixture.h"
#include "db/store.h"
#include "support/case_name.h"
#include "support/postgres_schema.h"
#include "support/temp_database.h"

namespace lumaref::test {
namespace {

struct StoreKind {
    const char* name;
    bool server;
};
void PrintTo(const StoreKind& kind, std::ostream* out) { *out << kind.name; }

const StoreKind kStoreKinds[] = {{"Sqlite", false}, {"Postgres", true}};

constexpr const char* kMasterListHeader =
    "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n";

// The window and lumaref-convert on one database: an SQLite file, or a schema on the server.
class TwoProgramsTest : public WindowTest {
protected:
    void setUpOn(bool onServer) {
#ifndef LUMAREF_CONVERT_EXE
        GTEST_SKIP() << "lumaref-convert is not built";
#endif
        createLibrary();
        writeProgramFile("lists/subjects/Physics.txt", "Optics\r\nMechanics\r\n");
        if (!onServer) return;
        if (const auto reason = PostgresSchema::unavailableReason()) GTEST_SKIP() << *reason;
        server = std::make_unique<PostgresSchema>();
        copyLibraryToServer(server->conninfo());
    }
    // The window over the database of this run, as a role of the server when one is named.
    void openWindowOn(const std::string& role = {}) {
        openWindowOnOwnDatabase(server ? server->conninfo(role) : kDefaultConnectionString);
        activateWindow();
    }
    // The other program: lumaref-convert adding the master list `rows` under `category`, as SCIE.
    void otherProgramLoads(const std::string& rows, const char* category) {
        writeFile(databasePath() + ".scie.csv", std::string(kMasterListHeader) + rows);
        QProcess convert;
#ifdef LUMAREF_CONVERT_EXE
        const std::string target = server ? server->conninfo() : databasePath();
        convert.start(QStringLiteral(LUMAREF_CONVERT_EXE),
                      {"--master-list", QString::fromStdString(databasePath() + ".scie.csv"), "--category",
                       category, "--index", "SCIE", "--quiet", QString::fromStdString(target)});
#endif
        ASSERT_TRUE(convert.waitForFinished(60'000));
        ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    }
    // The categories, or a category's subjects, as the database keeps them: a list file or the
    // server's table; each item followed by CR LF.
    std::string storedList(const std::string& subjectsOf = {}) {
        if (!server) {
            return readFile(programDir() + "/lists/" +
                            (subjectsOf.empty() ? std::string("categories") : "subjects/" + subjectsOf) +
                            ".txt");
        }
        return server->queryText(
            "SELECT string_agg(i || E'\\r\\n', '' ORDER BY n) FROM lumaref_lists, unnest(items) WITH "
            "ORDINALITY "
            "AS u(i, n) WHERE kind = " +
            sqlQuoted(subjectsOf.empty() ? "categories" : "subjects") +
            " AND category = " + sqlQuoted(subjectsOf));
    }

    std::unique_ptr<PostgresSchema> server;
};

class LiveRefreshTest : public TwoProgramsTest, public ::testing::WithParamInterface<StoreKind> {
protected:
    void SetUp() override { setUpOn(GetParam().server); }
};

TEST_P(LiveRefreshTest, AnotherProgramsLoadShowsWithSelectionSearchAndCurrentJournalKept) {
    openWindowOn();
    retype(Role::CategoryBox, "Physics");
    retype(Role::SearchEdit, "Optic");
    click(Role::NextRecordButton);
    ASSERT_EQ(journals().fieldAsString("Title"), "Optics Letters");
    ASSERT_EQ(text(Role::RecordCountLabel), "2");

    // One journal merged (its SCIE flag set) and two added, one of them within the search.
    otherProgramLoads(
        "Journal of Applied Optics,1111-0001,,Elsevier,Amsterdam,English,Optics\n"
        "Optical Materials,9999-0001,,Elsevier,Amsterdam,English,Optics\n"
        "Acoustics Today,9999-0002,,ASA,New York,English,Acoustics\n",
        "Physics");
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return statusText().startsWith("Updated by another program"); }, 10'000));

    EXPECT_EQ(statusText(), "Updated by another program: 3 journals changed");
    EXPECT_EQ(gridRows(), 3);
    EXPECT_EQ(text(Role::RecordCountLabel), "3");
    EXPECT_EQ(journals().fieldAsString("Title"), "Optics Letters");
    EXPECT_EQ(text(Role::CurrentRecordLabel), "2");
    EXPECT_EQ(lineEditOf(Role::SearchEdit)->text(), "Optic");
    EXPECT_EQ(lineEditOf(Role::CategoryBox)->text(), "Physics");
    EXPECT_TRUE(prompts.errors().isEmpty());
}

// A window started before the load rebuilds the lists before it has taken the load in: the lists
// still hold what the load added, as the database does at the click.
TEST_P(LiveRefreshTest, AStaleWindowsUpdateListsKeepsWhatAnotherProgramAdded) {
    openWindowOn();
    enterAdminMode();
    otherProgramLoads("Stellar Journal,9999-0003,,AAS,Washington,English,Astrophysics\n", "Astronomy");
    ASSERT_EQ(gridRows(), 7) << "the window has not taken the load in yet";
    ASSERT_FALSE(items(Role::CategoryBox).contains("Astronomy"));

    click(Role::UpdateListsButton);

    EXPECT_EQ(prompts.messages(), QStringList{"Finish!"});
    EXPECT_TRUE(prompts.errors().isEmpty()) << prompts.errors().join('\n').toStdString();
    EXPECT_EQ(items(Role::CategoryBox).back(), "Astronomy");
    EXPECT_EQ(storedList(), "Physics\r\nO'Brien Category\r\nChemistry\r\nفيزياء\r\nAstronomy\r\n");
    EXPECT_EQ(storedList("Astronomy"), "Astrophysics\r\n");
}

INSTANTIATE_TEST_SUITE_P(Stores, LiveRefreshTest, ::testing::ValuesIn(kStoreKinds), CaseName());

// The shared lists are the administrators' to write: a reader's "Update lists" is refused before it
// reads or writes anything, however stale its window.
class ListsOnPostgresTest : public TwoProgramsTest {
protected:
    void SetUp() override { setUpOn(true); }
};

TEST_F(ListsOnPostgresTest, AReadersUpdateListsIsRefusedAndTheServersListsStay) {
    openWindowOn(server->createReader());
    enterAdminMode();
    otherProgramLoads("Stellar Journal,9999-0003,,AAS,Washington,English,Astrophysics\n", "Astronomy");
    const std::string before = storedList();

    click(Role::UpdateListsButton);

    // The account is known to read only before anything is sent; the server's rights stand behind it.
    EXPECT_EQ(prompts.errors(), QStringList{QStringLiteral("This account may only read the journal list.")});
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(storedList(), before);
    EXPECT_EQ(storedList("Astronomy"), "");
    EXPECT_FALSE(items(Role::CategoryBox).contains("Astronomy"));
}

}  // namespace
}  // namespace lumaref::test
