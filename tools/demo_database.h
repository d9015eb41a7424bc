#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "db/staged_database.h"
#include "demo_journal.h"

namespace lumaref {
class SqliteError;
class Statement;
}  // namespace lumaref

namespace lumaref::demo {

// A new database file filled in one transaction through prepared statements, built beside its target
// and put in place by commit() (a StagedDatabase). Throws lumaref::Error naming the file on any
// failure; nothing is then left at or beside the target.
class DemoDatabase {
public:
    DemoDatabase(const std::string& target, bool replaceExisting, std::string_view schemaSql);
    ~DemoDatabase();
    DemoDatabase(const DemoDatabase&) = delete;
    DemoDatabase& operator=(const DemoDatabase&) = delete;

    void addJournal(const Journal& journal);
    // A row of the ranking table; the second row of a duplicated ISSN carries other figures.
    void addRanking(int rank, const Journal& journal, bool secondRow);
    void addQuartile(int quartile, const Journal& journal);
    // Commits, closes and renames the file onto its target.
    void commit();

private:
    std::unique_ptr<Statement> prepare(const std::string& sql);
    void step(Statement& statement);
    [[noreturn]] void fail(std::string_view what, const SqliteError& failure) const;

    StagedDatabase staged_;
    // Finalized before the database closes: declared after it.
    std::unique_ptr<Statement> journal_;
    std::unique_ptr<Statement> ranking_;
    std::array<std::unique_ptr<Statement>, 4> quartile_;
};

}  // namespace lumaref::demo
