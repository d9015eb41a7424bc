#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "demo_data.h"
#include "issn.h"
#include "picklists/list_file.h"
#include "support/temp_dir.h"
#include "text/error.h"

namespace lumaref::demo {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

Rows query(const std::string& dbPath, const std::string& sql) {
    sqlite3* db = nullptr;
    Rows rows;
    if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << dbPath;
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << "\n" << sql;
    } else {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto* text = sqlite3_column_text(statement, c);
                row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
            }
            rows.push_back(std::move(row));
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

std::vector<std::string> column(const Rows& rows) {
    std::vector<std::string> out;
    for (const auto& row : rows) out.push_back(row.at(0));
    return out;
}

long count(const std::string& dbPath, const std::string& sql) {
    return std::stol(query(dbPath, sql).at(0).at(0));
}

// Every file below a directory with its bytes, keyed by relative path.
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), dir).string()] = test::readFile(entry.path().string());
        }
    }
    return files;
}

// Master lists are off unless asked for: their many small files are flushed one by one.
Summary generateInto(const std::string& dir, std::uint64_t journals, std::uint64_t seed,
                     std::uint64_t entries = 0) {
    Options options;
    options.journals = journals;
    options.seed = seed;
    options.outDir = dir;
    options.masterListEntries = entries;
    return generate(options);
}

TEST(IssnTest, CheckCharacterTable) {
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"0028-0836", true},  {"0036-8075", true},  {"0378-5955", true},   {"1050-124X", true},
        {"1050-124x", false}, {"0028-0837", false}, {"0378-5954", false},  {"1050-1240", false},
        {"00280836", false},  {"0028-083", false},  {"0028-08366", false}, {"002A-0836", false},
        {"0028_0836", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isValidIssn(c.text), c.valid) << c.text;
}

TEST(IssnTest, FormattedNumbersAreValidAndDistinct) {
    const IssnNumbers numbers(7);
    std::set<std::uint32_t> seen;
    bool sawX = false;
    for (std::uint64_t i = 0; i < 200'000; ++i) {
        const std::uint32_t n = numbers(i);
        ASSERT_LT(n, IssnNumbers::kCount);
        ASSERT_TRUE(seen.insert(n).second) << "index " << i << " repeats " << n;
        const std::string issn = formatIssn(n);
        ASSERT_TRUE(isValidIssn(issn)) << issn;
        sawX = sawX || issn.back() == 'X';
    }
    EXPECT_TRUE(sawX);
}

class DemoDataTest : public ::testing::Test {
protected:
    static constexpr std::uint64_t kJournals = 5000;
    void SetUp() override { summary_ = generateInto(dir_.path(), kJournals, 42); }
    std::string db() const { return dir_.file("Database.mdb"); }

    test::TempDir dir_;
    Summary summary_;
};

TEST(DemoDataSeedTest, SameSeedGivesSameBytesAndAnotherSeedDoesNot) {
    constexpr std::uint64_t kJournals = 3000;
    test::TempDir once;
    test::TempDir again;
    generateInto(once.path(), kJournals, 42, 2);
    generateInto(again.path(), kJournals, 42, 2);
    const auto first = snapshot(once.path());
    EXPECT_EQ(first.count("master-lists/Physics/Optics.txt"), 1u);
    EXPECT_EQ(first, snapshot(again.path()));
    for (const auto& file : first) {
        EXPECT_NE(fs::path(file.first).filename().string().front(), '.') << file.first << " left behind";
    }

    test::TempDir other;
    generateInto(other.path(), kJournals, 43);
    EXPECT_NE(first.at("Database.mdb"), snapshot(other.path()).at("Database.mdb"));
}

TEST_F(DemoDataTest, RowCountsMatchTheSummary) {
    EXPECT_EQ(summary_.journals, kJournals);
    EXPECT_EQ(count(db(), "SELECT count(*) FROM journals"), static_cast<long>(kJournals));
    EXPECT_EQ(count(db(), "SELECT count(*) FROM jcr2018"), static_cast<long>(summary_.rankingRows));
    EXPECT_EQ(count(db(),
                    "SELECT (SELECT count(*) FROM JCRQ1) + (SELECT count(*) FROM JCRQ2) + "
                    "(SELECT count(*) FROM JCRQ3) + (SELECT count(*) FROM JCRQ4)"),
              static_cast<long>(summary_.quartileRows));
    // Most journals are ranked, and every quartile table has rows.
    EXPECT_GT(summary_.rankingRows, kJournals / 2);
    for (int q = 1; q <= 4; ++q)
        EXPECT_GT(count(db(), "SELECT count(*) FROM JCRQ" + std::to_string(q)), 0) << q;
}

TEST_F(DemoDataTest, IdentifiersAreValidAndDistinct) {
    std::set<std::string> seen;
    for (const auto& row : query(db(), "SELECT ISSN, \"E-ISSN\" FROM journals")) {
        for (const auto& id : row) {
            if (id.empty()) continue;
            EXPECT_TRUE(isValidIssn(id)) << id;
            EXPECT_TRUE(seen.insert(id).second) << id << " used twice";
        }
    }
    EXPECT_EQ(count(db(), "SELECT count(*) FROM journals WHERE ISSN IS NULL AND \"E-ISSN\" IS NULL"), 0);
    EXPECT_GT(count(db(), "SELECT count(*) FROM journals WHERE ISSN IS NULL"), 0);
    EXPECT_GT(count(db(), "SELECT count(*) FROM journals WHERE \"E-ISSN\" IS NULL"), 0);
}

TEST_F(DemoDataTest, RankingTableHasTheAwkwardRowsTheUpdatesMustHandle) {
    // Every ranking row names a journal, by ISSN or by E-ISSN.
    EXPECT_EQ(count(db(),
                    "SELECT count(*) FROM jcr2018 r WHERE NOT EXISTS (SELECT 1 FROM journals j "
                    "WHERE j.ISSN = r.ISSN OR j.\"E-ISSN\" = r.ISSN)"),
              0);
    struct Case {
        const char* what;
        const char* sql;
    };
    const Case cases[] = {
        {"rows reaching a journal with an ISSN only through its E-ISSN",
         "SELECT count(*) FROM jcr2018 r JOIN journals j ON j.\"E-ISSN\" = r.ISSN WHERE j.ISSN IS NOT NULL"},
        {"duplicate ISSNs",
         "SELECT count(*) FROM (SELECT ISSN FROM jcr2018 GROUP BY ISSN HAVING count(*) > 1)"},
        {"empty figures", "SELECT count(*) FROM jcr2018 WHERE \"Journal Impact Factor\" = ''"},
        {"journals already holding figures", "SELECT count(*) FROM journals WHERE IF IS NOT NULL"},
        {"journals without figures", "SELECT count(*) FROM journals WHERE IF IS NULL"},
        {"titles containing optic", "SELECT count(*) FROM journals WHERE Title LIKE '%optic%'"},
        {"Arabic titles", "SELECT count(*) FROM journals WHERE Title LIKE '%مجلة%'"},
        {"titles with accented letters", "SELECT count(*) FROM journals WHERE Title GLOB '*[éüöñçÓ]*'"},
        {"addresses containing '. '", "SELECT count(*) FROM journals WHERE Address LIKE '%. %'"},
        {"journals without frequency", "SELECT count(*) FROM journals WHERE Frequently IS NULL"},
        {"journals in the Emerging Sources index",
         "SELECT count(*) FROM journals WHERE \"Emerging Sources Citation Index\""},
    };
    for (const auto& c : cases) EXPECT_GT(count(db(), c.sql), 0) << c.what;
    // The ranking table is ordered by rank, highest impact factor first.
    const auto ranks = query(db(), "SELECT Rank FROM jcr2018 ORDER BY rowid");
    for (std::size_t i = 0; i < ranks.size(); ++i) ASSERT_EQ(ranks[i][0], std::to_string(i + 1));
}

TEST_F(DemoDataTest, ListFilesHoldTheDistinctValuesInOrderOfFirstAppearance) {
    const auto categories =
        column(query(db(), "SELECT category FROM journals GROUP BY category ORDER BY min(rowid)"));
    EXPECT_EQ(readListFile(dir_.file("lists/categories.txt")), categories);
    EXPECT_EQ(categories.size(), summary_.categories);
    EXPECT_GE(categories.size(), 30u);
    EXPECT_LE(categories.size(), 60u);

    EXPECT_EQ(readListFile(dir_.file("lists/ferequently.txt")),
              column(query(db(),
                           "SELECT Frequently FROM journals WHERE Frequently <> '' "
                           "GROUP BY Frequently ORDER BY min(rowid)")));

    for (const auto& category : categories) {
        std::string quotedCategory;
        for (char c : category) quotedCategory += c == '\'' ? std::string("''") : std::string(1, c);
        const auto subjects =
            column(query(db(), "SELECT subject FROM journals WHERE category = '" + quotedCategory +
                                   "' GROUP BY subject ORDER BY min(rowid)"));
        EXPECT_EQ(readListFile(dir_.file("lists/subjects/" + category + ".txt")), subjects) << category;
        EXPECT_GE(subjects.size(), 2u) << category;
    }
    // Items end with CR LF, the last one included.
    const std::string raw = test::readFile(dir_.file("lists/categories.txt"));
    EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");
}

TEST_F(DemoDataTest, MasterListsHoldNumberedEntriesOfNewJournals) {
    EXPECT_EQ(summary_.masterListFiles, 0u);
    EXPECT_FALSE(test::fileExists(dir_.file("master-lists")));
    test::TempDir withLists;
    const Summary summary = generateInto(withLists.path(), kJournals, 42, 3);
    EXPECT_GT(summary.masterListFiles, 100u);
    const std::string text = test::readFile(withLists.file("master-lists/Physics/Optics.txt"));
    const auto lines = splitListText(text);
    std::vector<std::string> titles;
    std::set<std::string> journalIssns;
    for (const auto& row : query(db(), "SELECT ISSN FROM journals WHERE ISSN IS NOT NULL"))
        journalIssns.insert(row[0]);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        for (std::size_t n = 1; n <= 3; ++n) {
            const std::string number = std::to_string(n) + ". ";
            if (line.rfind(number, 0) == 0 && (i == 0 || lines[i - 1].empty()))
                titles.push_back(line.substr(number.size()));
        }
        if (line.rfind("ISSN: ", 0) == 0 || line.rfind("E-ISSN: ", 0) == 0) {
            const std::string id = line.substr(line.find(": ") + 2);
            EXPECT_TRUE(isValidIssn(id)) << line;
            EXPECT_EQ(journalIssns.count(id), 0u) << id << " is already a journal of the database";
        }
        if (line.rfind("Current Contents", 0) == 0) {
            EXPECT_EQ(line.substr(16, 3), " - ") << line;
        }
    }
    EXPECT_EQ(titles.size(), 3u) << text;
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
}

TEST(DemoDataGuardTest, RefusesToReplaceADatabaseUnlessForced) {
    test::TempDir dir;
    test::writeFile(dir.file("Database.mdb"), "keep me");
    try {
        generateInto(dir.path(), 10, 1);
        FAIL() << "an existing database was replaced";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("already exists"), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::readFile(dir.file("Database.mdb")), "keep me");
    EXPECT_FALSE(test::fileExists(dir.file("lists/categories.txt")));

    // A write-ahead log of the replaced file must not survive into the new one.
    test::writeFile(dir.file("Database.mdb-wal"), "stale");
    Options options;
    options.journals = 10;
    options.outDir = dir.path();
    options.force = true;
    generate(options);
    EXPECT_EQ(count(dir.file("Database.mdb"), "SELECT count(*) FROM journals"), 10);
    EXPECT_FALSE(test::fileExists(dir.file("Database.mdb-wal")));
}

TEST(DemoDataGuardTest, AnUnwritableDirectoryIsAClearErrorAndLeavesNoPartialFile) {
    test::TempDir dir;
    test::writeFile(dir.file("blocker"), "a file where a directory should be");
    EXPECT_THROW(generateInto(dir.file("blocker/out"), 10, 1), Error);

    fs::create_directories(dir.file("lists/subjects"));
    // A directory standing where a list file goes makes writing the lists fail after the database is built.
    fs::create_directories(dir.file("lists/categories.txt"));
    EXPECT_THROW(generateInto(dir.path(), 10, 1), Error);
    EXPECT_FALSE(test::fileExists(dir.file("Database.mdb")));
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path() << " left behind";
}

}  // namespace
}  // namespace lumaref::demo
