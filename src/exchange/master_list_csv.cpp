#include "exchange/master_list_csv.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "db/schema_names.h"
#include "text/ascii.h"
#include "text/csv_rows.h"
#include "text/error.h"
#include "text/text_file.h"

namespace lumaref {

namespace {

enum Column : std::uint8_t {
    kTitle,
    kIssn,
    kEIssn,
    kPublisherName,
    kPublisherAddress,
    kLanguages,
    kCategories
};
constexpr std::array<std::string_view, 7> kHeaderNames = {"Journal title",
                                                          "ISSN",
                                                          "eISSN",
                                                          "Publisher name",
                                                          "Publisher address",
                                                          "Languages",
                                                          "Web of Science Categories"};

// Where each column of kHeaderNames stands in a header row; nullopt when one is missing.
std::optional<std::array<std::size_t, kHeaderNames.size()>> columnsOf(const CsvRow& row) {
    std::array<std::size_t, kHeaderNames.size()> at{};
    std::array<bool, kHeaderNames.size()> found{};
    for (std::size_t field = 0; field < row.size(); ++field) {
        for (std::size_t name = 0; name < kHeaderNames.size(); ++name) {
            if (!found[name] && equalsIgnoringAsciiCase(trimmed(row[field]), kHeaderNames[name])) {
                at[name] = field;
                found[name] = true;
            }
        }
    }
    for (const bool f : found) {
        if (!f) return std::nullopt;
    }
    return at;
}

// The first row that is not blank, or nullopt.
std::optional<std::array<std::size_t, kHeaderNames.size()>> headerColumns(std::string_view text) {
    std::optional<std::array<std::size_t, kHeaderNames.size()>> columns;
    readCsvRows(text, ',', [&columns](const CsvRow& row) {
        if (row.blank()) return true;
        columns = columnsOf(row);
        return false;
    });
    return columns;
}

std::string joinedAddress(std::string_view name, std::string_view address) {
    if (name.empty()) return std::string(address);
    if (address.empty()) return std::string(name);
    std::string joined(name);
    joined += ", ";
    joined += address;
    return joined;
}

bool contains(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (equalsIgnoringAsciiCase(text.substr(i, part.size()), part)) return true;
    }
    return false;
}

}  // namespace

bool isMasterListCsv(std::string_view text) { return headerColumns(text).has_value(); }

MasterListCsv readMasterListCsv(std::string_view fileBytes, std::string_view subjectWhenNone) {
    return readMasterListCsvText(decodeText(fileBytes), subjectWhenNone);
}

MasterListCsv readMasterListCsvText(std::string_view text, std::string_view subjectWhenNone) {
    MasterListCsv list;
    // About a record per line or two: one allocation up front rather than a copy at every doubling.
    list.records.reserve(rowsWorthReserving(text) * 2);
    std::optional<std::array<std::size_t, kHeaderNames.size()>> columns;
    std::size_t needed = 0;
    std::string failure;
    CsvSyntaxError syntax;
    const bool ok = readCsvRows(
        text, ',',
        [&](const CsvRow& row) {
            if (row.blank()) return true;
            if (!columns) {
                columns = columnsOf(row);
                if (!columns) {
                    failure = "Line " + std::to_string(row.line) +
                              " is not the header of a master list: it must name the columns \"Journal "
                              "title\", \"ISSN\", \"eISSN\", \"Publisher name\", \"Publisher address\", "
                              "\"Languages\" and \"Web of Science Categories\"";
                    return false;
                }
                for (const std::size_t at : *columns) needed = std::max(needed, at + 1);
                return true;
            }
            if (row.size() < needed) {
                failure = "Line " + std::to_string(row.line) + " has " + std::to_string(row.size()) +
                          " fields; the header has " + std::to_string(needed) + " or more";
                return false;
            }
            const auto field = [&](Column c) { return row[(*columns)[c]]; };
            if (trimmed(field(kTitle)).empty()) {
                failure = "Line " + std::to_string(row.line) + " has no journal title";
                return false;
            }
            ++list.rows;
            if (field(kIssn).empty() && field(kEIssn).empty()) ++list.rowsWithoutIssn;
            const std::size_t first = list.records.size();
            const auto add = [&](std::string_view subject) {
                for (std::size_t i = first; i < list.records.size(); ++i) {
                    if (list.records[i].subject == subject) return;  // listed twice in one row
                }
                if (list.records.size() == first) {
                    list.records.push_back({std::string(field(kTitle)), std::string(field(kIssn)),
                                            std::string(field(kEIssn)),
                                            joinedAddress(field(kPublisherName), field(kPublisherAddress)),
                                            std::string(subject), row.line});
                } else {
                    // The row's other fields are already built once: copy them.
                    MasterListRecord record = list.records[first];
                    record.subject = subject;
                    list.records.push_back(std::move(record));
                }
            };
            std::string_view categories = field(kCategories);
            while (!categories.empty()) {
                const std::size_t bar = categories.find('|');
                const std::string_view category = trimmed(categories.substr(0, bar));
                if (!category.empty()) add(category);
                categories = bar == std::string_view::npos ? std::string_view() : categories.substr(bar + 1);
            }
            if (list.records.size() == first) add(subjectWhenNone);
            return true;
        },
        &syntax, 1, &list.literalQuoteLines);
    if (!failure.empty()) throw Error(failure);
    if (!ok) throw Error("Line " + std::to_string(syntax.line) + ": " + syntax.reason);
    if (!columns) throw Error("The file is empty: it holds no master-list header");
    return list;
}

std::optional<std::string_view> citationIndexFromFileName(std::string_view fileName) {
    // Longest names first: "Science Citation Index Expanded" also contains "Science Citation Index".
    const std::pair<std::string_view, std::string_view> named[] = {
        {"Science Citation Index Expanded", kScienceCitationIndexExpandedField},
        {"(SCIE)", kScienceCitationIndexExpandedField},
        {"Emerging Sources Citation Index", kEmergingSourcesCitationIndexField},
        {"(ESCI)", kEmergingSourcesCitationIndexField},
        {"Arts & Humanities Citation Index", kArtsHumanitiesCitationIndexField},
        {"Arts and Humanities Citation Index", kArtsHumanitiesCitationIndexField},
        {"(AHCI)", kArtsHumanitiesCitationIndexField},
        {"Social Sciences Citation Index", ""},
        {"(SSCI)", ""},
        {"Science Citation Index", kScienceCitationIndexField},
        {"(SCI)", kScienceCitationIndexField},
        // Any other index the journals table has no field for.
        {"Citation Index", ""},
    };
    for (const auto& [part, field] : named) {
        if (contains(fileName, part)) return field;
    }
    return std::nullopt;
}

std::optional<std::string_view> citationIndexFromAbbreviation(std::string_view abbreviation) {
    const std::pair<std::string_view, std::string_view> known[] = {
        {"SCI", kScienceCitationIndexField},
        {"SCIE", kScienceCitationIndexExpandedField},
        {"ESCI", kEmergingSourcesCitationIndexField},
        {"AHCI", kArtsHumanitiesCitationIndexField},
        {"none", ""},
    };
    for (const auto& [name, field] : known) {
        if (equalsIgnoringAsciiCase(abbreviation, name)) return field;
    }
    return std::nullopt;
}

std::optional<std::string> masterListMatchKey(std::string_view issn, std::string_view eIssn,
                                              std::string_view category, std::string_view subject) {
    std::string key;
    if (!writeMasterListMatchKey(key, issn, eIssn, category, subject)) return std::nullopt;
    return key;
}

bool writeMasterListMatchKey(std::string& key, std::string_view issn, std::string_view eIssn,
                             std::string_view category, std::string_view subject) {
    if (issn.empty() && eIssn.empty()) return false;
    const std::string_view number = issn.empty() ? eIssn : issn;
    // Each part after its length, so no text inside a part can shift where the next begins; the first
    // letter tells an ISSN from an E-ISSN. Written in place: a load builds one key per record.
    constexpr std::size_t kLength = sizeof(std::uint32_t);
    key.resize(1 + 3 * kLength + number.size() + category.size() + subject.size());
    char* out = key.data();
    *out++ = issn.empty() ? 'E' : 'I';
    const auto append = [&out](std::string_view part, bool upper) {
        for (std::size_t byte = 0; byte < kLength; ++byte) {
            *out++ = static_cast<char>((part.size() >> (8 * byte)) & 0xFF);
        }
        // A check digit X is written in either case.
        if (upper) {
            for (const char c : part) *out++ = upperAscii(c);
        } else {
            out = std::copy(part.begin(), part.end(), out);
        }
    };
    append(number, true);
    append(category, false);
    append(subject, false);
    return true;
}

}  // namespace lumaref
