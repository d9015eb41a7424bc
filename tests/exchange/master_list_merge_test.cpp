#include "exchange/master_list_merge.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "support/case_name.h"

namespace lumaref {
namespace {

struct Stored {
    std::string_view issn, eIssn, category, subject;
    std::int64_t key;
};

struct MergeCase {
    const char* name;
    std::vector<Stored> stored;
    std::string rows;           // after the master list's header
    std::size_t maxChars;       // of every field; 0: no limit
    std::string added;          // "title|issn|eissn|address|category|subject", joined by " / "
    std::string flaggedCounts;  // the flagged keys, then "added merged withoutIssn"
};

void PrintTo(const MergeCase& c, std::ostream* out) { *out << c.name; }

class MasterListMergeTest : public ::testing::TestWithParam<MergeCase> {};

TEST_P(MasterListMergeTest, AddsNewRecordsAndFlagsEachStoredJournalOnce) {
    const MergeCase& c = GetParam();
    const MasterListCsv list = readMasterListCsvText(
        "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n" +
            c.rows,
        "Box");
    MasterListMerge merge;
    for (const Stored& s : c.stored) merge.addStored(s.issn, s.eIssn, s.category, s.subject, s.key);
    std::array<FieldInfo, kMasterListFieldCount> fields;
    for (FieldInfo& field : fields) field.maxChars = c.maxChars;
    const MasterListChanges changes = merge.decide(list, "Physics", fields);

    std::string added;
    for (const MasterListRow& row : changes.added) {
        added += added.empty() ? "" : " / ";
        for (std::size_t i = 0; i < row.size(); ++i) added += (i == 0 ? "" : "|") + std::string(row[i]);
    }
    EXPECT_EQ(added, c.added);
    std::string flaggedCounts;
    for (const std::int64_t key : changes.flagged) flaggedCounts += std::to_string(key) + " ";
    flaggedCounts += std::to_string(changes.counts.added) + " " + std::to_string(changes.counts.merged) +
                     " " + std::to_string(changes.counts.withoutIssn);
    EXPECT_EQ(flaggedCounts, c.flaggedCounts);
}

const MergeCase kMergeCases[] = {
    {"StoredJournalsFlaggedInFileOrder",
     {{"1000-0001", "", "Physics", "Acoustics", 11}, {"1000-0001", "", "Physics", "Optics", 12}},
     "Acta,1000-0001,2000-0001,OSA,Washington,English,Optics|Lasers|Acoustics\n",
     0,
     "Acta|1000-0001|2000-0001|OSA, Washington|Physics|Lasers",
     "12 11 1 2 0"},
    {"EIssnCountsOnlyWithoutIssn",
     {{"", "2000-0002", "Physics", "Optics", 7}, {"2000-0003", "", "Physics", "Optics", 8}},
     "Online,,2000-0002,,,English,Optics\nPrinted,2000-0002,,,,English,Optics\n"
     "Other,,2000-0003,,,English,Optics\n",
     0,
     "Printed|2000-0002|||Physics|Optics / Other||2000-0003||Physics|Optics",
     "7 2 1 0"},
    {"NumbersInAnyLetterCaseNamesExactly",
     {{"1000-000x", "", "Physics", "Optics", 3},
      {"1000-0005", "", "Physics", "optics", 4},
      {"1000-0006", "", "physics", "Optics", 5}},
     "A,1000-000X,,,,English,Optics\nB,1000-0005,,,,English,Optics\nC,1000-0006,,,,English,Optics\n",
     0,
     "B|1000-0005|||Physics|Optics / C|1000-0006|||Physics|Optics",
     "3 2 1 0"},
    {"CategoryAndSubjectArePartOfTheKey",
     {{"1000-0001", "", "Chemistry", "Optics", 1}, {"1000-0001", "", "Physics", "Acoustics", 2}},
     "A,1000-0001,,,,English,Optics\n",
     0,
     "A|1000-0001|||Physics|Optics",
     "1 0 0"},
    {"TwinsWithinTheFileAndInTheStoreMergeOnce",
     {{"1000-0001", "", "Physics", "Optics", 5}, {"1000-0001", "", "Physics", "Optics", 6}},
     "A,1000-0001,,,,English,Optics\nA again,1000-0001,,,,English,Optics\n"
     "B,1000-0009,,,,English,Optics\nB again,1000-0009,,,,English,Optics | Optics\n",
     0,
     "B|1000-0009|||Physics|Optics",
     "5 1 3 0"},
    {"RowsWithoutNumbersAreAlwaysNew",
     {{"", "", "Physics", "Optics", 9}},
     "Bare,,,P,,English,Optics\nBare,,,P,,English,Optics|Acoustics\nUnlisted,,,,,English,\n",
     0,
     "Bare|||P|Physics|Optics / Bare|||P|Physics|Optics / Bare|||P|Physics|Acoustics / "
     "Unlisted||||Physics|Box",
     "4 0 3"},
    {"MatchedAsCutToTheFieldSize",
     {{"1000-0001", "", "Physics", "\xC3\x96kologie,", 4}},
     "Journal of Ecology,1000-0001,,,,English,\"\xC3\x96kologie, Angewandte\"\n"
     "Journal of Soils,1000-0002,,OSA,Washington,English,\"\xC3\x96kologie, Allgemein\"\n"
     "Soils again,1000-0002,,,,English,\"\xC3\x96kologie, Angewandte\"\n",
     9,
     "Journal o|1000-0002||OSA, Wash|Physics|\xC3\x96kologie,",
     "4 1 2 0"},
};

INSTANTIATE_TEST_SUITE_P(Lists, MasterListMergeTest, ::testing::ValuesIn(kMergeCases), test::CaseName());

}  // namespace
}  // namespace lumaref
