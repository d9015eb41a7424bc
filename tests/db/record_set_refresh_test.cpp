// A record set taking in what another program committed: the rows it shows, its filter and its
// current row afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/database_file.h"
#include "db/record_set.h"
#include "db/record_set_refresh.h"
#include "db/sqlite_change_log.h"
#include "db/statement.h"
#include "support/journals_fixture.h"
#include "support/temp_database.h"

namespace lumaref {
namespace {

// Another program with the same database open: a window of its own, its journals unfiltered.
struct OtherWindow {
    Connection connection{kDefaultConnectionString};
    RecordSet journals{"ADOQuery1", connection, "journals"};

    OtherWindow() { journals.open(); }
    void set(const std::string& title, const char* field, const char* value) {
        journals.setFiltered(false);
        journals.setFilter("Title = '" + title + "'");
        journals.setFiltered(true);
        journals.edit();
        journals.setFieldAsString(field, value);
        journals.post();
    }
    void append(const char* title, const char* category) {
        journals.append();
        journals.setFieldAsString("Title", title);
        journals.setFieldAsString("category", category);
        journals.post();
    }
};

class RecordSetRefreshTest : public test::JournalsFixture {
protected:
    void SetUp() override {
        journals.reset();
        connection.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(dbPath + suffix);
        test::createDatabase(dbPath, test::journalInsert("Optics Letters", "Physics", "Optics") +
                                         test::journalInsert("Cell", "Biology", "Cells") +
                                         test::journalInsert("Optica", "Physics", "Optics") +
                                         test::journalInsert("Nature Physics", "Physics", "General"));
        openJournals();
        journals->setFilter("category = 'Physics'");
        journals->setFiltered(true);
        journals->setRecNo(2);
        ASSERT_EQ(journals->fieldAsString("Title"), "Optica");
    }
    std::optional<std::size_t> refresh() {
        RecordSet* sets[] = {journals.get()};
        const auto changed = refreshRecordSets(*connection, sets);
        return changed ? std::optional<std::size_t>(changed->front()) : std::nullopt;
    }
    std::vector<std::string> titlesShown() {
        std::vector<std::string> titles;
        titles.reserve(static_cast<std::size_t>(journals->recordCount()));
        const int title = journals->fieldIndex("Title");
        for (int i = 0; i < journals->recordCount(); ++i) titles.emplace_back(journals->valueAt(i, title));
        return titles;
    }
};

TEST_F(RecordSetRefreshTest, TakesInTheRowsAnotherProgramChangedAndKeepsFilterAndCurrentRow) {
    using Titles = std::vector<std::string>;
    const struct {
        const char* what;
        std::function<void(OtherWindow&, const std::string& dbPath)> commit;
        std::size_t changed;
        Titles shown;
        const char* current;
    } cases[] = {
        {"another field of a shown row",
         [](OtherWindow& other, const std::string&) { other.set("Optics Letters", "subject", "Lasers"); }, 1,
         Titles{"Optics Letters", "Optica", "Nature Physics"}, "Optica"},
        {"a row before the current one leaves the filter",
         [](OtherWindow& other, const std::string&) { other.set("Optics Letters", "category", "Biology"); },
         1, Titles{"Optica", "Nature Physics"}, "Optica"},
        {"a row joins the filter in its place",
         [](OtherWindow& other, const std::string&) { other.set("Cell", "category", "physics"); }, 1,
         Titles{"Optics Letters", "Cell", "Optica", "Nature Physics"}, "Optica"},
        {"the current row leaves the filter: the next one takes its place",
         [](OtherWindow& other, const std::string&) { other.set("Optica", "category", "Biology"); }, 1,
         Titles{"Optics Letters", "Nature Physics"}, "Nature Physics"},
        {"an appended row the filter selects",
         [](OtherWindow& other, const std::string&) { other.append("Photonics", "Physics"); }, 1,
         Titles{"Optics Letters", "Optica", "Nature Physics", "Photonics"}, "Optica"},
        {"an appended row the filter leaves out",
         [](OtherWindow& other, const std::string&) { other.append("Genes", "Biology"); }, 1,
         Titles{"Optics Letters", "Optica", "Nature Physics"}, "Optica"},
        {"a load that changed one row of the table",
         [](OtherWindow&, const std::string& path) {
             const DatabaseFile file(path, DatabaseFile::Mode::ReadWrite);
             Transaction load(file.handle(), Transaction::Lock::Immediate);
             exec(file.handle(), "UPDATE journals SET category = 'Physics' WHERE Title = 'Cell'");
             noteTableReplaced(file.handle(), "journals");
             load.commit();
         },
         1, Titles{"Optics Letters", "Cell", "Optica", "Nature Physics"}, "Optica"},
        {"a load that changed nothing",
         [](OtherWindow&, const std::string& path) {
             const DatabaseFile file(path, DatabaseFile::Mode::ReadWrite);
             noteTableReplaced(file.handle(), "journals");
         },
         0, Titles{"Optics Letters", "Optica", "Nature Physics"}, "Optica"},
    };
    for (const bool sorted : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (sorted ? ", sorted by title" : ""));
            SetUp();
            if (sorted) journals->setSort(RowSort{journals->fieldIndex("Title"), SortDirection::Descending});
            OtherWindow other;
            c.commit(other, dbPath);
            EXPECT_EQ(refresh(), c.changed);
            Titles shown = c.shown;
            if (sorted) std::sort(shown.begin(), shown.end(), std::greater<>());
            EXPECT_EQ(titlesShown(), shown);
            EXPECT_EQ(journals->recordCount(), static_cast<int>(c.shown.size()));
            EXPECT_EQ(journals->fieldAsString("Title"), c.current);
            EXPECT_EQ(journals->filter(), "category = 'Physics'");
            EXPECT_EQ(refresh(), 0u) << "nothing is taken in twice";
        }
    }
}

TEST_F(RecordSetRefreshTest, NothingIsTakenInWhileARowIsBeingEdited) {
    OtherWindow other;
    other.set("Nature Physics", "subject", "Astronomy");
    journals->edit();
    journals->setFieldAsString("subject", "Photonics");
    EXPECT_EQ(refresh(), std::nullopt);
    journals->post();
    EXPECT_EQ(refresh(), 1u) << "the change waited for the edit to end";
    journals->setRecNo(3);
    EXPECT_EQ(journals->fieldAsString("subject"), "Astronomy");
    journals->setRecNo(2);
    EXPECT_EQ(journals->fieldAsString("subject"), "Photonics");
}

}  // namespace
}  // namespace lumaref
