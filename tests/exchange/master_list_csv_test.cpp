#include "exchange/master_list_csv.h"
#include "db/schema_names.h"
#include "exchange/master_list_csv_matches.h"
#include "support/case_name.h"
#include "text/error.h"
#include "text/text_file.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace lumaref {
namespace {

constexpr std::string_view kHeader =
    "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\r\n";

// The records of a list as "title|issn|eissn|address|subject@line", joined by " / ", or "!" and the error.
std::string recordsOf(std::string_view bytes) {
    try {
        const MasterListCsv list = readMasterListCsv(bytes, "Box");
        std::string text;
        for (const MasterListRecord& r : list.records) {
            if (!text.empty()) text += " / ";
            text += r.title + "|" + r.issn + "|" + r.eIssn + "|" + r.address + "|" + r.subject + "@" +
                    std::to_string(r.line);
        }
        return text + " rows=" + std::to_string(list.rows) + " bare=" + std::to_string(list.rowsWithoutIssn);
    } catch (const Error& e) {
        return std::string("!") + e.what();
    }
}

struct ReadCase {
    const char* name;
    std::string bytes;
    std::string records;
};

void PrintTo(const ReadCase& c, std::ostream* out) { *out << c.name; }

class MasterListCsvReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(MasterListCsvReadTest, GivesOneRecordPerCategoryOrRefusesTheFile) {
    EXPECT_EQ(recordsOf(GetParam().bytes), GetParam().records);
    // Told on the text, as the window tells it; bytes that are no text are looked at as they are.
    std::string text = GetParam().bytes;
    try {
        text = decodeText(text);
    } catch (const Error&) {
    }
    EXPECT_EQ(isMasterListCsv(text), GetParam().records.find("not the header") == std::string::npos &&
                                         GetParam().records !=
                                             "!The file is empty: it holds no "
                                             "master-list header");
}

const ReadCase kReadCases[] = {
    {"CategoriesSplitAtBarsTrimmedAndOnceEach",
     std::string(kHeader) + "A,1,2,P,Street,English, X | Y |X||\r\n",
     "A|1|2|P, Street|X@2 / A|1|2|P, Street|Y@2 rows=1 bare=0"},
    {"NoCategoryTakesTheSubjectBox", std::string(kHeader) + "A,1,,,,English,\r\n",
     "A|1|||Box@2 rows=1 bare=0"},
    {"AddressPartsMayBeEmpty", std::string(kHeader) + "A,,2,,Road,,X\r\nB,,,P,,,X\r\n",
     "A||2|Road|X@2 / B|||P|X@3 rows=2 bare=1"},
    {"HeaderInAnyCaseAndOrderAmongOtherColumns",
     "\xEF\xBB\xBF\"WEB OF SCIENCE CATEGORIES\",Extra,languages,\"publisher ADDRESS\",publisher name,eissn,"
     "issn,journal TITLE\n\nX,e,,addr,pub,2,1,\"T, the\"\n",
     "T, the|1|2|pub, addr|X@3 rows=1 bare=0"},
    {"QuotedLineBreaksAndWindows1252", std::string(kHeader) + "\"Caf\xE9\r\nRevue\",1,,,,,X\r\n",
     "Caf\xC3\xA9\r\nRevue|1|||X@2 rows=1 bare=0"},
    {"HeaderOnly", std::string(kHeader), " rows=0 bare=0"},
    {"Empty", "", "!The file is empty: it holds no master-list header"},
    {"MissingColumn", "Journal title,ISSN,eISSN,Publisher name,Publisher address,Web of Science Categories\n",
     "!Line 1 is not the header of a master list: it must name the columns \"Journal title\", \"ISSN\", "
     "\"eISSN\", \"Publisher name\", \"Publisher address\", \"Languages\" and \"Web of Science Categories\""},
    {"ShortRowRefusesTheFile", std::string(kHeader) + "A,1,2,P,S,E,X\r\nB,1,2\r\n",
     "!Line 3 has 3 fields; the header has 7 or more"},
    {"RowWithoutTitleRefusesTheFile", std::string(kHeader) + " ,1,2,P,S,E,X\r\n",
     "!Line 2 has no journal title"},
    {"OpenQuoteRefusesTheFile", std::string(kHeader) + "\"A,1,2,P,S,E,X\r\n",
     "!Line 2: a quoted field is not closed before the end of the file"},
};

INSTANTIATE_TEST_SUITE_P(Files, MasterListCsvReadTest, ::testing::ValuesIn(kReadCases), test::CaseName());

TEST(MasterListCsvIndexTest, FileNameOrAbbreviationNamesTheFlag) {
    struct Row {
        std::string_view text;
        std::optional<std::string_view> fromName;
        std::optional<std::string_view> fromAbbreviation;
    };
    const Row rows[] = {
        {"Science Citation Index Expanded (SCIE).csv", kScienceCitationIndexExpandedField, std::nullopt},
        {"science citation index.csv", kScienceCitationIndexField, std::nullopt},
        {"Emerging Sources Citation Index (ESCI).csv", kEmergingSourcesCitationIndexField, std::nullopt},
        {"Arts & Humanities Citation Index (AHCI).csv", kArtsHumanitiesCitationIndexField, std::nullopt},
        {"Social Sciences Citation Index (SSCI).csv", "", std::nullopt},
        {"list-2024.csv", std::nullopt, std::nullopt},
        {"scie", std::nullopt, kScienceCitationIndexExpandedField},
        {"AHCI", std::nullopt, kArtsHumanitiesCitationIndexField},
        {"None", std::nullopt, ""},
        {"SSCI", std::nullopt, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(citationIndexFromFileName(row.text), row.fromName) << row.text;
        EXPECT_EQ(citationIndexFromAbbreviation(row.text), row.fromAbbreviation) << row.text;
    }
}

TEST(MasterListCsvKeyTest, IssnFirstThenEIssnWithCategoryAndSubject) {
    EXPECT_EQ(masterListMatchKey("", "", "C", "S"), std::nullopt);
    EXPECT_EQ(masterListMatchKey("1", "2", "C", "S"), masterListMatchKey("1", "9", "C", "S"));
    EXPECT_NE(masterListMatchKey("1", "", "C", "S"), masterListMatchKey("", "1", "C", "S"));
    EXPECT_NE(masterListMatchKey("1", "", "C", "S"), masterListMatchKey("1", "", "C", "T"));
    EXPECT_NE(masterListMatchKey("1", "", "C", "S"), masterListMatchKey("1", "", "c", "S"));
    EXPECT_NE(masterListMatchKey("1", "", "C:1", "S"), masterListMatchKey("1", "", "C", "1:S"));
    EXPECT_EQ(masterListMatchKey("1234-567x", "", "C", "S"), masterListMatchKey("1234-567X", "", "C", "S"));
    EXPECT_EQ(masterListMatchKey("", "1234-567x", "C", "S"), masterListMatchKey("", "1234-567X", "C", "S"));
    EXPECT_NE(masterListMatchKey("1", "", "C", "\xC3\xA9"), masterListMatchKey("1", "", "C", "\xC3\x89"));
}

// The stored journals by key, past several growths of the table: each is found again with the value
// it was stored with, a twin in another letter case is found, and a record without numbers never is.
TEST(MasterListCsvMatchesTest, FindsEveryKeyAgainAfterTheTableGrows) {
    MasterListCsvMatches matches;
    constexpr std::int64_t kJournals = 5000;
    const auto issn = [](std::int64_t n) {
        return std::to_string(1000 + n % 9000) + "-" + std::to_string(n) + "x";
    };
    for (std::int64_t n = 0; n < kJournals; ++n) {
        const auto [value, isNew] = matches.findOrAdd(n % 2 == 0 ? issn(n) : "", issn(n), "C", "S", n);
        ASSERT_TRUE(isNew) << n;
        ASSERT_EQ(*value, n);
    }
    for (std::int64_t n = 0; n < kJournals; ++n) {
        std::string upper = issn(n);
        upper.back() = 'X';
        const auto [value, isNew] = matches.findOrAdd(n % 2 == 0 ? upper : "", upper, "C", "S", -1);
        ASSERT_FALSE(isNew) << n;
        EXPECT_EQ(*value, n);
    }
    EXPECT_TRUE(matches.findOrAdd("", issn(1), "C", "T", 0).second);
    EXPECT_TRUE(matches.findOrAdd(issn(1), "", "C", "S", 0).second);  // an ISSN is not an E-ISSN
    const auto [none, noneIsNew] = matches.findOrAdd("", "", "C", "S", 0);
    EXPECT_EQ(none, nullptr);
    EXPECT_TRUE(noneIsNew);
}

}  // namespace
}  // namespace lumaref
