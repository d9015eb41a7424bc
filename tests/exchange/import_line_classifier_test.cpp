#include "exchange/import_line_classifier.h"
#include "support/case_name.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace lumaref {
namespace {

using C = ImportCode;

// The flags after a line, as letters: T TitleSeen, A AddressNext, F FirstContentsSeen.
std::string flagsOf(const ImportLineClassifier& c) {
    return std::string(c.TitleSeen ? "T" : "") + (c.AddressNext ? "A" : "") +
           (c.FirstContentsSeen ? "F" : "");
}

struct Step {
    std::string line;
    ImportCode code;
    std::string text;
    std::string flagsAfter;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class ClassifierTest : public ::testing::TestWithParam<Case> {};

TEST_P(ClassifierTest, ClassifiesEachLineAndCarriesTheFlags) {
    ImportLineClassifier classifier;
    int number = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE("line " + std::to_string(++number) + " [" + step.line + "]");
        const ClassifiedLine result = classifier.ClassifyImportLine(step.line);
        EXPECT_EQ(static_cast<int>(result.code), static_cast<int>(step.code));
        EXPECT_EQ(std::string(result.text), step.text);
        EXPECT_EQ(flagsOf(classifier), step.flagsAfter);
    }
}

const Case kCases[] = {
    // Each kind of line on its own.
    {"TitleIsTheTextAfterTheFirstFullStopAndBlank",
     {{"12. Journal of Optics. Part A", C::Title, "Journal of Optics. Part A", "T"}}},
    {"TitleMayBeEmpty", {{"Vol. ", C::Title, "", "T"}}},
    {"FullStopWithoutBlankIsNoTitle", {{"www.example.org", C::NotRecognised, "", ""}}},
    {"IssnFromTheSeventhCharacter", {{"ISSN: 1234-5678", C::Issn, "1234-5678", "A"}}},
    {"IssnAloneCopiesFromBeyondTheEnd", {{"ISSN", C::Issn, "", "A"}, {"ISSN:", C::Issn, "", "A"}}},
    {"PrefixesAreCaseSensitive",
     {{"issn: 1234-5678", C::NotRecognised, "", ""},
      {"e-ISSN: 1", C::NotRecognised, "", ""},
      {"science citation index", C::NotRecognised, "", ""},
      {"current contents - X", C::NotRecognised, "", ""}}},
    {"PrefixesCountOnlyAtTheStart",
     {{" ISSN: 1", C::NotRecognised, "", ""}, {"x Current Contents", C::NotRecognised, "", ""}}},
    {"EIssnFromTheNinthCharacter", {{"E-ISSN: 2222-3333", C::EIssn, "2222-3333", "A"}}},
    {"ScienceCitationIndex", {{"Science Citation Index", C::ScienceCitationIndex, "true", ""}}},
    {"ExpandedOverridesScienceCitationIndex",
     {{"Science Citation Index Expanded (SCIE)", C::ScienceCitationIndexExpanded, "true", ""}}},
    {"EmergingSources", {{"Emerging Sources Citation Index", C::EmergingSourcesCitationIndex, "true", ""}}},
    {"ArtsNeedsItsAmpersand",
     {{"Arts & Humanities Citation Index", C::ArtsHumanitiesCitationIndex, "true", ""},
      {"Arts Humanities Citation Index", C::NotRecognised, "", ""}}},
    {"ContentsFromTheTwentiethCharacter",
     {{"Current Contents - Clinical Medicine", C::FirstCurrentContents, "Clinical Medicine", "F"}}},
    {"ContentsAloneCopiesFromBeyondTheEnd", {{"Current Contents", C::FirstCurrentContents, "", "F"}}},
    // Characters, not bytes: an en dash and an accent are one character each.
    {"ContentsCutCountsCharacters",
     {{"Current Contents \xE2\x80\x93 G\xC3\xA9nie", C::FirstCurrentContents, "G\xC3\xA9nie", "F"},
      {"ISSN\xC2\xA0\xC2\xA0"
       "1",
       C::Issn, "1", "A"}}},

    // Position: the line after a title is the frequency, after an E-ISSN the address, even blank.
    {"FrequencyAfterTitle", {{"1. A", C::Title, "A", "T"}, {"Monthly", C::Frequency, "Monthly", ""}}},
    {"BlankFrequencyAfterTitle", {{"1. A", C::Title, "A", "T"}, {"", C::Frequency, "", ""}}},
    {"AddressAfterEIssn",
     {{"E-ISSN: 1", C::EIssn, "1", "A"}, {"Elsevier, Amsterdam", C::Address, "Elsevier, Amsterdam", ""}}},
    {"BlankAddressAfterEIssn", {{"E-ISSN: 1", C::EIssn, "1", "A"}, {"", C::Address, "", ""}}},
    {"AFrequencyLineIsOnlyTheOneRightAfterTheTitle",
     {{"1. A", C::Title, "A", "T"},
      {"Monthly", C::Frequency, "Monthly", ""},
      {"Weekly", C::NotRecognised, "", ""}}},

    // Later tests override earlier ones.
    {"TitleAfterTitleStartsANewEntry", {{"1. A", C::Title, "A", "T"}, {"2. B", C::Title, "B", "T"}}},
    {"IssnAfterTitleIsAnIssn", {{"1. A", C::Title, "A", "T"}, {"ISSN: 1", C::Issn, "1", "A"}}},
    {"EIssnAfterTitleIsAnEIssn", {{"1. A", C::Title, "A", "T"}, {"E-ISSN: 2", C::EIssn, "2", "A"}}},
    {"IndexAfterTitleIsAnIndex",
     {{"1. A", C::Title, "A", "T"},
      {"Emerging Sources Citation Index", C::EmergingSourcesCitationIndex, "true", ""}}},
    {"ContentsAfterTitleIsTheFirstContents",
     {{"1. A", C::Title, "A", "T"}, {"Current Contents - X", C::FirstCurrentContents, "X", "F"}}},
    {"IssnLineWithFullStopAndBlankIsAnIssn", {{"ISSN 1234-5678. Print", C::Issn, "234-5678. Print", "A"}}},
    {"EIssnLineWithFullStopAndBlankIsAnEIssn", {{"E-ISSN: 1. x", C::EIssn, "1. x", "A"}}},
    {"ContentsLineWithFullStopAndBlankIsContents",
     {{"Current Contents. Arts", C::FirstCurrentContents, "rts", "F"}}},
    {"IssnAfterEIssnIsAnIssn", {{"E-ISSN: 1", C::EIssn, "1", "A"}, {"ISSN: 2", C::Issn, "2", "A"}}},
    {"EIssnAfterEIssnIsAnEIssn", {{"E-ISSN: 1", C::EIssn, "1", "A"}, {"E-ISSN: 2", C::EIssn, "2", "A"}}},
    {"IndexAfterEIssnIsAnIndex",
     {{"E-ISSN: 1", C::EIssn, "1", "A"}, {"Science Citation Index", C::ScienceCitationIndex, "true", ""}}},

    // The contents lines of an entry alternate; anything recognised in between starts again.
    {"ContentsAlternateFirstSecond",
     {{"Current Contents - A", C::FirstCurrentContents, "A", "F"},
      {"Current Contents - B", C::SecondCurrentContents, "B", ""},
      {"Current Contents - C", C::FirstCurrentContents, "C", "F"},
      {"Current Contents - D", C::SecondCurrentContents, "D", ""}}},
    {"UnrecognisedLineKeepsTheFlags",
     {{"Current Contents - A", C::FirstCurrentContents, "A", "F"},
      {"(see also)", C::NotRecognised, "", "F"},
      {"Current Contents - B", C::SecondCurrentContents, "B", ""}}},
    {"RecognisedLineBetweenContentsClearsFirstContentsSeen",
     {{"Current Contents - A", C::FirstCurrentContents, "A", "F"},
      {"Science Citation Index Expanded", C::ScienceCitationIndexExpanded, "true", ""},
      {"Current Contents - B", C::FirstCurrentContents, "B", "F"}}},
    {"TitleClearsFirstContentsSeen",
     {{"Current Contents - A", C::FirstCurrentContents, "A", "F"},
      {"2. Next", C::Title, "Next", "T"},
      {"Current Contents - B", C::FirstCurrentContents, "B", "F"}}},
    {"FrequencyClearsFirstContentsSeen",
     {{"Current Contents - A", C::FirstCurrentContents, "A", "F"},
      {"2. Next", C::Title, "Next", "T"},
      {"Monthly", C::Frequency, "Monthly", ""},
      {"Current Contents - B", C::FirstCurrentContents, "B", "F"}}},
    {"NulBytesAreOrdinaryCharacters",
     {{std::string("1. A\0B", 6), C::Title, std::string("A\0B", 3), "T"},
      {std::string("\0", 1), C::Frequency, std::string("\0", 1), ""}}},
};

INSTANTIATE_TEST_SUITE_P(Lines, ClassifierTest, ::testing::ValuesIn(kCases), test::CaseName());

// The address position: after an E-ISSN line, or after an ISSN line that no E-ISSN line follows.
// There a line is a new title only when it starts with a running number, a full stop and a blank.
const Case kAddressPositionCases[] = {
    {"AddressAfterIssnWithoutEIssn",
     {{"ISSN: 1", C::Issn, "1", "A"}, {"Elsevier, Amsterdam", C::Address, "Elsevier, Amsterdam", ""}}},
    {"BlankAddressAfterIssn", {{"ISSN: 1", C::Issn, "1", "A"}, {"", C::Address, "", ""}}},
    {"EIssnAfterIssnTakesTheAddressPositionOn",
     {{"ISSN: 1", C::Issn, "1", "A"}, {"E-ISSN: 2", C::EIssn, "2", "A"}, {"Wiley", C::Address, "Wiley", ""}}},
    {"StreetWithFullStopAfterEIssnIsTheAddress",
     {{"E-ISSN: 1", C::EIssn, "1", "A"},
      {"11830 Westline Industrial Dr., St. Louis, MO", C::Address,
       "11830 Westline Industrial Dr., St. Louis, MO", ""},
      {"Science Citation Index Expanded", C::ScienceCitationIndexExpanded, "true", ""}}},
    {"StreetWithFullStopAfterIssnIsTheAddress",
     {{"ISSN: 1", C::Issn, "1", "A"}, {"12 Main St. Louis", C::Address, "12 Main St. Louis", ""}}},
    {"LetterBeforeTheFullStopIsNoRunningNumber",
     {{"E-ISSN: 1", C::EIssn, "1", "A"}, {"A. Smith Press", C::Address, "A. Smith Press", ""}}},
    {"DecimalBeforeTheFullStopIsNoRunningNumber",
     {{"E-ISSN: 1", C::EIssn, "1", "A"}, {"1.2. Floor", C::Address, "1.2. Floor", ""}}},
    {"ARunningNumberNeedsAtLeastOneDigit",
     {{"ISSN: 1", C::Issn, "1", "A"}, {". Foo", C::Address, ". Foo", ""}}},
    {"NumberedTitleAfterEIssnStartsAnEntry",
     {{"E-ISSN: 1", C::EIssn, "1", "A"},
      {"2. Next Journal", C::Title, "Next Journal", "T"},
      {"Monthly", C::Frequency, "Monthly", ""}}},
    {"NumberedTitleAfterIssnStartsAnEntry",
     {{"ISSN: 1", C::Issn, "1", "A"}, {"107. Next. Series B", C::Title, "Next. Series B", "T"}}},
    {"AfterTheAddressTheTitleRuleIsTheDesigns",
     {{"E-ISSN: 1", C::EIssn, "1", "A"},
      {"Wiley", C::Address, "Wiley", ""},
      {"Dept. of Physics", C::Title, "of Physics", "T"}}},
    {"IndexAfterIssnIsAnIndex",
     {{"ISSN: 1", C::Issn, "1", "A"},
      {"Emerging Sources Citation Index", C::EmergingSourcesCitationIndex, "true", ""}}},
};

INSTANTIATE_TEST_SUITE_P(AddressPosition, ClassifierTest, ::testing::ValuesIn(kAddressPositionCases),
                         test::CaseName());

TEST(ClassifierFlagsTest, ClearFlagsStartsAFreshImport) {
    ImportLineClassifier classifier;
    classifier.ClassifyImportLine("E-ISSN: 1");
    classifier.ClassifyImportLine("Current Contents - A");
    classifier.ClassifyImportLine("1. A");
    ASSERT_EQ(flagsOf(classifier), "T");
    classifier.ClearFlags();
    EXPECT_EQ(flagsOf(classifier), "");
    EXPECT_EQ(static_cast<int>(classifier.ClassifyImportLine("Monthly").code),
              static_cast<int>(C::NotRecognised));
}

}  // namespace
}  // namespace lumaref
