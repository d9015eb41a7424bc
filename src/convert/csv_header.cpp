#include "convert/csv_header.h"

#include <algorithm>
#include <array>
#include <limits>

#include "db/schema_names.h"
#include "text/ascii.h"
#include "text/csv_rows.h"
#include "text/text_fold.h"

namespace lumaref {

namespace {

// Read by the impact-factor update from the ranking table and by the quartile update from the quartile
// tables.
const std::array<std::string_view, 4> kImpactFactorColumns = {
    kIssnField, kJournalImpactFactorField, kTotalCitesField, kImpactFactorWithoutSelfCitesField};

bool isQuartileTable(std::string_view table) {
    return std::any_of(kQuartileTables.begin(), kQuartileTables.end(),
                       [&](std::string_view quartile) { return sameName(table, quartile); });
}

bool contains(const std::vector<std::string>& names, std::string_view wanted) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return sameName(name, wanted); });
}

struct Candidate {
    std::size_t line = 0;
    std::vector<std::string> names;
    std::size_t requiredFound = 0;
};

// How well a row does as the header; the best row of all separators is shown when none qualifies.
bool betterMiss(std::size_t line, std::size_t requiredFound, std::size_t fields, const Candidate& best) {
    if (best.line == 0) return true;
    if (requiredFound != best.requiredFound) return requiredFound > best.requiredFound;
    if (line != best.line) return line < best.line;
    return fields > best.names.size();
}

std::vector<std::string> namesOf(const CsvRow& row) {
    std::vector<std::string> names;
    names.reserve(row.size());
    for (std::size_t i = 0; i < row.size(); ++i) names.emplace_back(trimmed(row[i]));
    return names;
}

}  // namespace

std::vector<std::string> requiredColumns(std::string_view table, const std::vector<TableColumn>& columns) {
    std::vector<std::string> required;
    if (sameName(table, kRankingTable)) {
        required.assign(kImpactFactorColumns.begin(), kImpactFactorColumns.end());
    } else if (isQuartileTable(table)) {
        required.emplace_back(kIssnField);
    } else if (sameName(table, kJournalsTable)) {
        // A journal without a title is no record; a file without the column is another format.
        required.emplace_back(kTitleField);
    }
    for (const TableColumn& column : columns) {
        if (column.notNullWithoutDefault && !contains(required, column.name)) {
            required.push_back(column.name);
        }
    }
    return required;
}

std::optional<CsvHeader> findCsvHeader(std::string_view text, const std::vector<std::string>& required,
                                       const std::vector<std::string>& tableColumns, CsvHeaderMiss* miss) {
    std::optional<CsvHeader> found;
    Candidate nearest;
    for (const char separator : kCsvSeparators) {
        const auto onRow = [&](const CsvRow& row) {
            // A later separator can only win with an earlier header line (or more columns on the same one).
            if (found && row.line > found->line) return false;
            if (row.blank()) return true;
            // Counted in place: the names are copied only for a row that is kept.
            bool namesTableColumn = false;
            for (std::size_t i = 0; i < row.size() && !namesTableColumn; ++i) {
                namesTableColumn = contains(tableColumns, trimmed(row[i]));
            }
            std::size_t requiredFound = 0;
            for (const std::string& name : required) {
                for (std::size_t i = 0; i < row.size(); ++i) {
                    if (sameName(trimmed(row[i]), name)) {
                        ++requiredFound;
                        break;
                    }
                }
            }
            if (requiredFound == required.size() && namesTableColumn) {
                if (!found || row.line < found->line || row.size() > found->names.size()) {
                    found = CsvHeader{separator, row.line, 0, namesOf(row)};
                }
                return false;
            }
            if (betterMiss(row.line, requiredFound, row.size(), nearest)) {
                nearest = Candidate{row.line, namesOf(row), requiredFound};
            }
            return true;
        };
        // A line that is not CSV with this separator (a title with a stray quote) is not the header.
        readCsvRowsSkippingBadLines(text, separator, onRow,
                                    found ? found->line : std::numeric_limits<std::size_t>::max());
    }
    if (found) found->offset = csvLineOffset(text, found->line);
    if (!found && miss != nullptr) {
        miss->line = nearest.line;
        miss->names = nearest.names;
        miss->missing.clear();
        for (const std::string& name : required) {
            if (!contains(nearest.names, name)) miss->missing.push_back(name);
        }
    }
    return found;
}

}  // namespace lumaref
