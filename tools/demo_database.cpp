#include "demo_database.h"

#include <sqlite3.h>

#include "demo_vocabulary.h"
#include "text/error.h"

namespace lumaref::demo {

namespace {

// Missing values are stored as null, as the importer leaves the fields it does not write.
void bindText(sqlite3_stmt* statement, int column, std::string_view text) {
    if (text.empty()) {
        sqlite3_bind_null(statement, column);
    } else {
        sqlite3_bind_text(statement, column, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
}

}  // namespace

DemoDatabase::DemoDatabase(const std::string& path, std::string_view schemaSql) : path_(path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        fail("Cannot create");
    }
    // The file is renamed into place only when complete, so it needs no journal while it is built.
    exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;");
    exec(std::string(schemaSql).c_str());
    exec("BEGIN");
    journal_ = prepare(
        "INSERT INTO journals (\"Title\", \"ISSN\", \"E-ISSN\", \"Frequently\", \"IF\", \"Total Cites\", "
        "\"Impact Factor without Journal Self Cites\", \"Q\", \"Science Citation Index\", "
        "\"Science Citation Index Expanded\", \"Emerging Sources Citation Index\", "
        "\"Arts Humanities Citation Index\", \"Current_Contents1\", \"Current_Contents2\", \"Address\", "
        "\"category\", \"subject\") VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    ranking_ = prepare(
        "INSERT INTO jcr2018 (\"Rank\", \"Full Journal Title\", \"ISSN\", \"Total Cites\", "
        "\"Journal Impact Factor\", \"Impact Factor without Journal Self Cites\") VALUES (?,?,?,?,?,?)");
    for (int q = 0; q < 4; ++q) {
        const std::string sql =
            "INSERT INTO JCRQ" + std::to_string(q + 1) + " (\"Journal Title\", \"ISSN\") VALUES (?,?)";
        quartile_[q] = prepare(sql.c_str());
    }
}

DemoDatabase::~DemoDatabase() {
    sqlite3_finalize(journal_);
    sqlite3_finalize(ranking_);
    for (auto* statement : quartile_) sqlite3_finalize(statement);
    if (db_ != nullptr) sqlite3_close(db_);
}

void DemoDatabase::addJournal(const Journal& j) {
    sqlite3_stmt* s = journal_;
    bindText(s, 1, j.title);
    bindText(s, 2, j.issn);
    bindText(s, 3, j.eissn);
    bindText(s, 4, j.frequency);
    const bool figures = j.figuresCopied && !j.emptyFigures;
    bindText(s, 5, figures ? formatImpact(j.impactMilli) : "");
    bindText(s, 6, figures ? formatCites(j.totalCites) : "");
    bindText(s, 7, figures ? formatImpact(j.impactWithoutSelfMilli) : "");
    static constexpr std::string_view kQuartiles[] = {"", "Q1", "Q2", "Q3", "Q4"};
    bindText(s, 8, j.figuresCopied ? kQuartiles[j.quartile] : "");
    sqlite3_bind_int(s, 9, j.sci ? 1 : 0);
    sqlite3_bind_int(s, 10, j.scie ? 1 : 0);
    sqlite3_bind_int(s, 11, j.esci ? 1 : 0);
    sqlite3_bind_int(s, 12, j.ahci ? 1 : 0);
    bindText(s, 13, j.contents1);
    bindText(s, 14, j.contents2);
    bindText(s, 15, j.address);
    const CategoryWords& words = categoryWords()[j.category];
    bindText(s, 16, words.name);
    bindText(s, 17, words.subjects[j.subject]);
    step(s);
}

void DemoDatabase::addRanking(int rank, const Journal& j, bool secondRow) {
    sqlite3_stmt* s = ranking_;
    sqlite3_bind_int(s, 1, rank);
    bindText(s, 2, rankingTitle(j.title));
    bindText(s, 3, j.rankingIssn());
    if (j.emptyFigures && !secondRow) {
        // An empty figure is an empty text in the table, not a missing one.
        for (int column = 4; column <= 6; ++column) sqlite3_bind_text(s, column, "", 0, SQLITE_STATIC);
    } else {
        const std::uint32_t impact = secondRow ? j.impactMilli * 9 / 10 + 1 : j.impactMilli;
        const std::uint32_t cites = secondRow ? j.totalCites / 2 : j.totalCites;
        const std::uint32_t withoutSelf =
            secondRow ? j.impactWithoutSelfMilli * 9 / 10 : j.impactWithoutSelfMilli;
        bindText(s, 4, formatCites(cites));
        bindText(s, 5, formatImpact(impact));
        bindText(s, 6, formatImpact(withoutSelf));
    }
    step(s);
}

void DemoDatabase::addQuartile(int quartile, const Journal& j) {
    sqlite3_stmt* s = quartile_[quartile - 1];
    bindText(s, 1, j.title);
    bindText(s, 2, j.rankingIssn());
    step(s);
}

void DemoDatabase::finish() {
    exec("COMMIT");
    sqlite3_finalize(journal_);
    sqlite3_finalize(ranking_);
    for (auto*& statement : quartile_) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    journal_ = ranking_ = nullptr;
    if (sqlite3_close(db_) != SQLITE_OK) fail("Cannot close");
    db_ = nullptr;
}

void DemoDatabase::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message != nullptr ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw Error("Cannot write \"" + path_ + "\": " + text);
    }
}

sqlite3_stmt* DemoDatabase::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
        fail("Cannot prepare a statement for");
    return statement;
}

void DemoDatabase::step(sqlite3_stmt* statement) {
    if (sqlite3_step(statement) != SQLITE_DONE) fail("Cannot write");
    sqlite3_reset(statement);
}

void DemoDatabase::fail(std::string_view what) const {
    const std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : "out of memory";
    throw Error(std::string(what) + " \"" + path_ + "\": " + reason);
}

}  // namespace lumaref::demo
