#include "convert/jcr_load.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

#include "convert/csv_input.h"
#include "db/connection.h"
#include "db/schema_names.h"
#include "db/sqlite_change_log.h"
#include "db/statement.h"
#include "text/ascii.h"
#include "text/csv_rows.h"
#include "text/error.h"

namespace lumaref {

namespace {

// The export's columns by what they hold, each with the names it has gone by, in any letter case.
// The impact factor is also found as "<year> JIF", the latest year winning.
enum JcrColumn : std::uint8_t {
    kName,
    kIssnColumn,
    kEIssnColumn,
    kCitations,
    kImpact,
    kImpactNoSelf,
    kQuartile
};
struct JcrColumnAliases {
    JcrColumn column;
    bool required;
    std::array<std::string_view, 2> names;
};
constexpr JcrColumnAliases kJcrColumnAliases[] = {
    {kName, true, {"Journal name", "Full Journal Title"}},
    {kIssnColumn, true, {"ISSN", ""}},
    {kEIssnColumn, true, {"eISSN", "E-ISSN"}},
    {kCitations, true, {"Total Citations", "Total Cites"}},
    {kImpact, true, {"Journal Impact Factor", ""}},
    {kImpactNoSelf, false, {"JIF Without Self Cites", "Impact Factor without Journal Self Cites"}},
    {kQuartile, true, {"JIF Quartile", ""}},
};
constexpr std::size_t kColumnCount = std::size(kJcrColumnAliases);

struct Header {
    std::array<std::optional<std::size_t>, kColumnCount> at;
    std::string impactName;
    std::string year;
};

// "2023 JIF" -> "2023"; anything else -> nullopt.
std::optional<std::string> yearOfJifColumn(std::string_view name) {
    name = trimmed(name);
    if (name.size() != 8 || !equalsIgnoringAsciiCase(name.substr(4), " JIF")) return std::nullopt;
    for (const char c : name.substr(0, 4)) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    return std::string(name.substr(0, 4));
}

std::optional<Header> headerOf(const CsvRow& row) {
    Header header;
    std::optional<std::size_t> latestYear;
    for (std::size_t field = 0; field < row.size(); ++field) {
        const std::string_view name = trimmed(row[field]);
        if (const std::optional<std::string> year = yearOfJifColumn(name)) {
            if (!latestYear || *year > header.year) {
                latestYear = field;
                header.year = *year;
            }
            continue;
        }
        for (const JcrColumnAliases& aliases : kJcrColumnAliases) {
            for (const std::string_view alias : aliases.names) {
                if (!alias.empty() && !header.at[aliases.column] && equalsIgnoringAsciiCase(name, alias)) {
                    header.at[aliases.column] = field;
                    if (aliases.column == kImpact) header.impactName = std::string(name);
                }
            }
        }
    }
    // A dated column is the current one; the undated name comes from older exports.
    if (latestYear) {
        header.at[kImpact] = latestYear;
        header.impactName = std::string(trimmed(row[*latestYear]));
    }
    for (const JcrColumnAliases& aliases : kJcrColumnAliases) {
        if (aliases.required && !header.at[aliases.column]) return std::nullopt;
    }
    return header;
}

bool noNumber(std::string_view issn) { return issn.empty() || issn == "N/A"; }

// One stored row: the numbers it is stored under and its values.
struct JournalRow {
    std::string name, issn, eIssn, citations, impact, impactNoSelf;
};

}  // namespace

std::string columnList(std::span<const std::string_view> names) {
    std::string list;
    for (const std::string_view name : names) list += (list.empty() ? "" : ", ") + quoteIdentifier(name);
    return list;
}

JcrExport readJcrExport(const std::string& csvPath) {
    const std::string text = readCsvText(csvPath);
    const std::string file = "The export " + quotedPath(csvPath);
    JcrExport read;
    JcrLoadReport& report = read.report;
    std::optional<Header> header;
    std::size_t needed = 0;
    std::size_t footerFrom = 0;  // the first single-field line after the data
    std::string failure;
    std::vector<JournalRow> ranking;
    std::array<std::vector<JournalRow>, 4> quartiles;
    std::set<std::string> rankingSeen;
    std::array<std::set<std::string>, 4> quartileSeen;
    std::set<std::string> withoutIssn;
    CsvSyntaxError syntax;

    const bool ok = readCsvRows(
        text, ',',
        [&](const CsvRow& row) {
            if (row.blank()) return true;
            if (!header) {
                header = headerOf(row);  // lines above the header are the title
                if (header) {
                    for (const auto& at : header->at) {
                        if (at) needed = std::max(needed, *at + 1);
                    }
                }
                return true;
            }
            if (row.size() == 1) {  // copyright lines after the data
                if (footerFrom == 0) footerFrom = row.line;
                return true;
            }
            if (footerFrom != 0 || row.size() < needed) {
                failure = file + " has " + std::to_string(row.size()) + " fields on line " +
                          std::to_string(row.line) + " where the header has " + std::to_string(needed) +
                          " or more.";
                return false;
            }
            ++report.rowsRead;
            const auto field = [&](JcrColumn c) {
                return header->at[c] ? std::string(row[*header->at[c]]) : std::string();
            };
            JournalRow journal{field(kName),      field(kIssnColumn), field(kEIssnColumn),
                               field(kCitations), field(kImpact),     field(kImpactNoSelf)};
            const std::string quartileText = std::string(trimmed(field(kQuartile)));
            std::optional<std::size_t> quartile;  // 0..3 for Q1..Q4
            if (quartileText.size() == 2 && (quartileText[0] == 'Q' || quartileText[0] == 'q') &&
                quartileText[1] >= '1' && quartileText[1] <= '4') {
                quartile = static_cast<std::size_t>(quartileText[1] - '1');
            } else {
                ++report.rowsWithoutQuartile;
            }
            if (noNumber(journal.issn)) journal.issn.clear();
            if (noNumber(journal.eIssn)) journal.eIssn.clear();
            if (journal.issn.empty() && journal.eIssn.empty()) {
                withoutIssn.insert(journal.name);
                return true;
            }
            const std::string key = journal.issn.empty() ? "E" + journal.eIssn : "I" + journal.issn;
            if (rankingSeen.insert(key).second) ranking.push_back(journal);
            if (quartile && quartileSeen[*quartile].insert(key).second)
                quartiles[*quartile].push_back(journal);
            return true;
        },
        &syntax);
    if (!failure.empty()) throw Error(failure + std::string(kNothingLoaded));
    if (!ok)
        throw Error(file + ", line " + std::to_string(syntax.line) + ": " + syntax.reason + "." +
                    std::string(kNothingLoaded));
    if (!header) {
        throw Error(file +
                    " has no header row naming \"Journal name\", \"ISSN\", \"eISSN\", \"Total "
                    "Citations\", \"<year> JIF\" and \"JIF Quartile\"." +
                    std::string(kNothingLoaded));
    }
    report.impactFactorColumn = header->impactName;
    report.year = header->year;
    report.journalsWithoutIssn = withoutIssn.size();

    // Each journal under its ISSN, and again under its eISSN when it has both.
    for (const JournalRow& row : ranking) {
        for (const std::string* number : {&row.issn, &row.eIssn}) {
            if (!number->empty())
                read.ranking.push_back({row.name, *number, row.citations, row.impact, row.impactNoSelf});
        }
    }
    for (std::size_t q = 0; q < quartiles.size(); ++q) {
        for (const JournalRow& row : quartiles[q]) {
            for (const std::string* number : {&row.issn, &row.eIssn}) {
                if (!number->empty()) read.quartiles[q].push_back({row.name, *number});
            }
        }
        report.quartileRows[q] = read.quartiles[q].size();
    }
    report.rankingRows = read.ranking.size();
    return read;
}

JcrLoadReport loadJcrExport(const std::string& csvPath, const std::string& databasePath) {
    const JcrExport read = readJcrExport(csvPath);
    const std::unique_ptr<Connection> connection = openDatabaseForLoad(databasePath);
    sqlite3* db = connection->handle();
    Transaction transaction(db, Transaction::Lock::Immediate);
    const auto bindOrNull = [](Statement& s, int index, const std::string& value) {
        if (value.empty()) {
            s.bindNull(index);
        } else {
            s.bindText(index, value);
        }
    };

    exec(db, "DELETE FROM " + quoteIdentifier(kRankingTable));
    Statement insertRanking(db, "INSERT INTO " + quoteIdentifier(kRankingTable) + " (" +
                                    columnList(kJcrRankingColumns) + ") VALUES (?, ?, ?, ?, ?)");
    for (const JcrRankingRow& row : read.ranking) {
        bindOrNull(insertRanking, 1, row.name);
        insertRanking.bindText(2, row.number);
        bindOrNull(insertRanking, 3, row.citations);
        bindOrNull(insertRanking, 4, row.impact);
        bindOrNull(insertRanking, 5, row.impactNoSelf);
        insertRanking.step();
        insertRanking.reset();
    }
    for (std::size_t q = 0; q < kQuartileTables.size(); ++q) {
        exec(db, "DELETE FROM " + quoteIdentifier(kQuartileTables[q]));
        Statement insertQuartile(db, "INSERT INTO " + quoteIdentifier(kQuartileTables[q]) + " (" +
                                         columnList(kJcrQuartileColumns) + ") VALUES (?, ?)");
        for (const JcrQuartileRow& row : read.quartiles[q]) {
            bindOrNull(insertQuartile, 1, row.name);
            insertQuartile.bindText(2, row.number);
            insertQuartile.step();
            insertQuartile.reset();
        }
    }
    noteTableReplaced(db, kRankingTable);
    for (const std::string_view table : kQuartileTables) noteTableReplaced(db, table);
    transaction.commit();
    return read.report;
}

std::string jcrLoadSummary(const JcrLoadReport& report, double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", seconds);
    std::string summary = "Read " + std::to_string(report.rowsRead) + " rows in " + time +
                          " s; impact factors from \"" + report.impactFactorColumn + "\"" +
                          (report.year.empty() ? "" : " (year " + report.year + ")") + ".\n";
    summary += "Stored " + std::to_string(report.rankingRows) + " rows in " + std::string(kRankingTable);
    for (std::size_t q = 0; q < kQuartileTables.size(); ++q) {
        summary += ", " + std::to_string(report.quartileRows[q]) + " in " + std::string(kQuartileTables[q]);
    }
    summary += ".\n" + std::to_string(report.journalsWithoutIssn) +
               " journals without ISSN or eISSN (not stored), " + std::to_string(report.rowsWithoutQuartile) +
               " rows without a quartile.\n";
    return summary;
}

}  // namespace lumaref
