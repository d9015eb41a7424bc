#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumaref {

// One journal record of a CSV master list: a row gives one per Web of Science category it lists.
struct MasterListRecord {
    std::string title;
    std::string issn;
    std::string eIssn;
    std::string address;   // publisher name and publisher address, joined by ", "
    std::string subject;   // the Web of Science category
    std::size_t line = 0;  // where its row starts in the file, from 1
};

struct MasterListCsv {
    std::vector<MasterListRecord> records;
    std::size_t rows = 0;
    std::size_t rowsWithoutIssn = 0;  // neither an ISSN nor an eISSN: such records are never merged
    // Lines where a quote inside an unquoted field was read as a literal character, for a warning.
    std::vector<std::size_t> literalQuoteLines;
};

// Whether a file's text (decoded, as readMasterListCsv decodes it) starts with the master-list download's
// header: "Journal title", "ISSN", "eISSN", "Publisher name", "Publisher address", "Languages", "Web of
// Science Categories", in any letter case and order, among any other columns. It answers for the same
// first row that readMasterListCsvText takes for the header.
bool isMasterListCsv(std::string_view text);

// Reads a master-list download (UTF-8, or Windows-1252 when it is not valid UTF-8). The categories of
// a row are separated by "|", blanks around them trimmed; a row listing none gives one record with
// `subjectWhenNone`. Blank lines are skipped. Throws Error naming the line for a header it does not
// recognise, a quote out of place, a row with fewer fields than the header, or a row without a title:
// a file is read whole or not at all.
MasterListCsv readMasterListCsv(std::string_view fileBytes, std::string_view subjectWhenNone);
// The same for a text already decoded to UTF-8.
MasterListCsv readMasterListCsvText(std::string_view text, std::string_view subjectWhenNone);

// The citation index a file name names, as the journals field it sets: "Science Citation Index
// Expanded (SCIE).csv" -> kScienceCitationIndexExpandedField. An empty text for a file of another
// index (the social sciences list), which loads with no flag; nullopt when the name names none.
std::optional<std::string_view> citationIndexFromFileName(std::string_view fileName);

// The field of an index as given on the command line: SCI, SCIE, ESCI, AHCI, or "none" (empty text),
// in any letter case; nullopt for anything else.
std::optional<std::string_view> citationIndexFromAbbreviation(std::string_view abbreviation);

// What makes a record the same journal as one already stored: the same ISSN, or the same E-ISSN
// when it has no ISSN, with the same category and subject. nullopt when it has neither number. The
// numbers match in any ASCII letter case ("1234-567x" is "1234-567X"); category and subject exactly.
std::optional<std::string> masterListMatchKey(std::string_view issn, std::string_view eIssn,
                                              std::string_view category, std::string_view subject);
// The same written into `key` (its memory reused); false, and `key` unspecified, when it has neither number.
bool writeMasterListMatchKey(std::string& key, std::string_view issn, std::string_view eIssn,
                             std::string_view category, std::string_view subject);

}  // namespace lumaref
