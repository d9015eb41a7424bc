// Which journals a whole index's download no longer lists: the count the window asks about and
// --replace-index clears.
#include "exchange/index_flags.h"

#include <gtest/gtest.h>

#include <ostream>

#include "support/case_name.h"

namespace lumaref {
namespace {

struct StoredJournal {
    const char* name;
    const char* category;
    bool flagged;
    const char* issn;
    const char* eIssn;
    bool hasLeft;
};
void PrintTo(const StoredJournal& c, std::ostream* out) { *out << c.name; }

class IndexListingTest : public ::testing::TestWithParam<StoredJournal> {};

TEST_P(IndexListingTest, AFlaggedJournalOfTheCategoryWhoseNumbersTheDownloadLacksHasLeft) {
    const MasterListCsv download = readMasterListCsv(
        "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n"
        "Acta,1000-0001,2000-0001,P,,English,Optics|Acoustics\nOnline,,2000-000x,P,,English,Optics\n"
        "Print,1000000X,,P,,English,Optics\n",
        "Box");
    IndexListing listing(download, "Physics");
    const StoredJournal& j = GetParam();
    EXPECT_EQ(listing.hasLeft(j.category, j.flagged, j.issn, j.eIssn), j.hasLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Journals, IndexListingTest,
    ::testing::Values(StoredJournal{"Listed", "Physics", true, "1000-0001", "2000-0001", false},
                      StoredJournal{"ListedByItsEIssnOnly", "Physics", true, "9999-9999", "2000-0001", false},
                      StoredJournal{"ListedWithoutHyphenOrCapital", "Physics", true, "", "2000000X", false},
                      StoredJournal{"ListedInAnotherForm", "Physics", true, "1000-000x", "", false},
                      StoredJournal{"NotListed", "Physics", true, "3000-0003", "", true},
                      StoredJournal{"NotListedAndUnflagged", "Physics", false, "3000-0003", "", false},
                      StoredJournal{"NotListedOfAnotherCategory", "Chemistry", true, "3000-0003", "", false},
                      StoredJournal{"WithoutNumbers", "Physics", true, "", "", false}),
    test::CaseName());

}  // namespace
}  // namespace lumaref
