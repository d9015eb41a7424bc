// The ranking files as they are downloaded, read into figures: each layout with its quirks, the refusal of
// a layout Lumaref does not read, and the forms an ISSN comes in.
#include "exchange/ranking_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "support/case_name.h"
#include "text/error.h"
#include "text/issn_form.h"
#include "text/text_file.h"

namespace lumaref {
namespace {

// Every figure as "issn|eissn|title|category|metric=value", one per line in key order, after a first line
// "SOURCE YEAR rows=N without=N"; or "!" and the refusal.
std::string figuresOf(std::string_view bytes, const RankingFileRequest& request) {
    try {
        const RankingFile file = readRankingFile(decodeText(bytes), "f.csv", request);
        const RankingFigures& figures = file.read.figures;
        std::string text = sourceAndYearText(figures) + " rows=" + std::to_string(file.read.report.rows) +
                           " without=" + std::to_string(file.read.report.rowsWithoutIssn) + "\n";
        for (const RankingFigure& f : figures.figures()) {
            const RankingJournal& j = figures.journals()[f.entry - 1];
            text += j.issn + "|" + j.eissn + "|" + j.title + "|" +
                    (f.category == 0 ? "" : figures.names()[f.category - 1]) + "|" +
                    figures.names()[f.metric - 1] + "=" + f.value + "\n";
        }
        return text;
    } catch (const Error& error) {
        return std::string("!") + error.what();
    }
}

struct LayoutCase {
    const char* name;
    std::string bytes;
    RankingFileRequest request;
    std::string figures;
};
void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

class RankingFileTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(RankingFileTest, ReadsEachLayoutIntoItsFigures) {
    EXPECT_EQ(figuresOf(GetParam().bytes, GetParam().request), GetParam().figures);
}

const RankingFileRequest kAnyLayout{std::nullopt, std::nullopt, "Approved", 2025};

INSTANTIATE_TEST_SUITE_P(
    Downloads, RankingFileTest,
    ::testing::Values(
        // The current citation reports export: banner, one row per category, an "N/A" ISSN, "<0.1",
        // thousands separators, an older year's column beside the latest, the copyright footer.
        LayoutCase{
            "JcrCurrentExport",
            "\"Journal Data Filtered By:  Selected JCR Year: 2023 Selected Editions: SCIE\"\r\n"
            "\"Journal name\",\"ISSN\",\"eISSN\",\"Category\",\"Total Citations\",\"2022 JIF\","
            "\"2023 JIF\",\"JIF Quartile\",\"2023 JCI\",\"5 Year JIF\"\r\n"
            "\"Acta Optica\",\"1000-0001\",\"2000-000x\",\"OPTICS\",\"12,345\",\"3.1\",\"3.456\",\"Q1\","
            "\"1.20\",\"1,003.5\"\r\n"
            "\"Acta Optica\",\"1000-0001\",\"2000-000x\",\"PHYSICS, APPLIED\",\"12,345\",\"3.1\",\"3.456\","
            "\"Q2\",\"1.20\",\"1,003.5\"\r\n"
            "\"Online Photonics\",\"N/A\",\"2000-0002\",\"OPTICS\",\"88\",\"N/A\",\"<0.1\",\"Q4\",\"N/A\","
            "\"\"\r\n"
            "\"Nameless\",\"\",\"N/A\",\"OPTICS\",\"1\",\"N/A\",\"N/A\",\"N/A\",\"0\",\"\"\r\n"
            "\r\n\"Copyright (c) 2024 Clarivate\"\r\n\"By exporting the selected data, you agree\"\r\n",
            kAnyLayout,
            "JCR 2023 rows=4 without=1\n"
            "1000-0001|2000-000X|Acta Optica||JIF=3.456\n"
            "1000-0001|2000-000X|Acta Optica||JCI=1.20\n"
            "1000-0001|2000-000X|Acta Optica||Total Citations=12345\n"
            "1000-0001|2000-000X|Acta Optica||5 Year JIF=1003.5\n"
            "1000-0001|2000-000X|Acta Optica|OPTICS|JIF Quartile=Q1\n"
            "1000-0001|2000-000X|Acta Optica|PHYSICS, APPLIED|JIF Quartile=Q2\n"
            "|2000-0002|Online Photonics||JIF=<0.1\n"
            "|2000-0002|Online Photonics||Total Citations=88\n"
            "|2000-0002|Online Photonics|OPTICS|JIF Quartile=Q4\n"},
        // An older export: other column names, no category, the year only in the banner.
        LayoutCase{"JcrOlderExport",
                   "Journal Data Filtered By: Selected JCR Year: 2018 Selected Editions: SCIE\n"
                   "Rank,Full Journal Title,ISSN,Total Cites,Journal Impact Factor,JIF Quartile\n"
                   "1,CA-A CANCER JOURNAL FOR CLINICIANS,0007-9235,\"32,410\",244.585,Q1\n",
                   kAnyLayout,
                   "JCR 2018 rows=1 without=0\n"
                   "0007-9235||CA-A CANCER JOURNAL FOR CLINICIANS||JIF=244.585\n"
                   "0007-9235||CA-A CANCER JOURNAL FOR CLINICIANS||JIF Quartile=Q1\n"
                   "0007-9235||CA-A CANCER JOURNAL FOR CLINICIANS||Total Citations=32410\n"},
        // The SJR download: a byte-order mark, ";" between fields, decimal commas, numbers without hyphens
        // (a lower-case x among them), "-" for none, a category without a quartile, and a row whose
        // Categories lost its quotes, so its "; " split it.
        LayoutCase{
            "SjrDownload",
            "\xEF\xBB\xBFRank;Sourceid;Title;Type;Issn;SJR;SJR Best Quartile;H index;Total Docs. (2023);"
            "Categories;Areas\n"
            "1;28773;\"Ca-A Cancer Journal for Clinicians\";journal;\"15424863, 0007923x\";62,937;Q1;168;47;"
            "\"Hematology (Q1); Oncology (Q1)\";\"Medicine\"\n"
            "2;19434;Revista Mexicana;journal;-;0,101;-;3;12;\"Medicine (miscellaneous)\";\"Medicine\"\n"
            "3;21100;Unquoted Letters;journal;21501327;1,5;Q2;20;30;Optics (Q2); Multidisciplinary;"
            "Physics\n",
            kAnyLayout,
            "SJR 2023 rows=3 without=1\n"
            "1542-4863|0007-923X|Ca-A Cancer Journal for Clinicians||SJR=62.937\n"
            "1542-4863|0007-923X|Ca-A Cancer Journal for Clinicians||SJR Best Quartile=Q1\n"
            "1542-4863|0007-923X|Ca-A Cancer Journal for Clinicians||H index=168\n"
            "1542-4863|0007-923X|Ca-A Cancer Journal for Clinicians|Hematology|SJR Quartile=Q1\n"
            "1542-4863|0007-923X|Ca-A Cancer Journal for Clinicians|Oncology|SJR Quartile=Q1\n"
            "2150-1327||Unquoted Letters||SJR=1.5\n"
            "2150-1327||Unquoted Letters||SJR Best Quartile=Q2\n"
            "2150-1327||Unquoted Letters||H index=20\n"
            "2150-1327||Unquoted Letters|Optics|SJR Quartile=Q2\n"},
        LayoutCase{"SjrYearGiven",
                   "Rank;Title;Issn;SJR;SJR Best Quartile;H index;Categories\n1;A;12345678;1,0;Q3;2;X (Q3)\n",
                   {RankingLayout::Sjr, 2021, "", 2025},
                   "SJR 2021 rows=1 without=0\n"
                   "1234-5678||A||SJR=1.0\n1234-5678||A||SJR Best Quartile=Q3\n1234-5678||A||H index=2\n"
                   "1234-5678||A|X|SJR Quartile=Q3\n"},
        // The DOAJ CSV: columns found by name in their own order, an empty APC unknown, the older
        // currency column joined to the amount; filed under the year of the load.
        LayoutCase{
            "DoajJournalCsv",
            "\"Journal title\",\"Journal URL\",\"APC\",\"Journal EISSN (online version)\",\"APC amount\","
            "\"Currency\",\"Journal ISSN (print version)\",\"Journal license\",\"DOAJ Seal\"\n"
            "\"Open Optics\",\"https://o.example\",\"Yes\",\"2000-0003\",\"1500\",\"EUR\",\"\","
            "\"CC BY, CC BY-NC\",\"Yes\"\n"
            "\"Free Letters\",\"\",\"No\",\"\",\"\",\"\",\"10000004\",\"CC BY-SA\",\"No\"\n"
            "\"Unknown Charges\",\"\",\"\",\"2000-0005\",\"\",\"\",\"\",\"CC BY\",\"\"\n",
            kAnyLayout,
            "DOAJ 2025 rows=3 without=0\n"
            "|2000-0003|Open Optics||Open access=yes\n|2000-0003|Open Optics||APC=yes\n"
            "|2000-0003|Open Optics||APC amount=1500 EUR\n|2000-0003|Open Optics||Licence=CC BY, CC BY-NC\n"
            "|2000-0003|Open Optics||DOAJ Seal=yes\n"
            "1000-0004||Free Letters||Open access=yes\n1000-0004||Free Letters||APC=no\n"
            "1000-0004||Free Letters||Licence=CC BY-SA\n1000-0004||Free Letters||DOAJ Seal=no\n"
            "|2000-0005|Unknown Charges||Open access=yes\n|2000-0005|Unknown Charges||Licence=CC BY\n"},
        // An institution's list: ";" between fields and a decimal comma, an E-ISSN column only, an empty
        // cell no figure, a row without a number left out.
        LayoutCase{
            "OwnList",
            "Journal;e-ISSN;Level;Points\r\nActa;2000-0001;A;1,5\r\nBeta;2000000x;;2\r\nGamma;;B;3\r\n",
            {std::nullopt, 2024, " National list ", 2025},
            "National list 2024 rows=3 without=1\n"
            "|2000-0001|Acta||Level=A\n|2000-0001|Acta||Points=1.5\n|2000-000X|Beta||Points=2\n"},
        // Files that are none of these: one message with the columns found and those expected.
        LayoutCase{
            "UnknownLayout", "Name,Country,Rank\nA,B,1\n", kAnyLayout,
            "!The file \"f.csv\" is not a ranking file Lumaref reads: its columns are \"Name\", "
            "\"Country\", \"Rank\"; expected a citation reports (JCR) export: \"Journal name\", \"ISSN\", "
            "\"eISSN\", \"Total Citations\", \"<year> JIF\" and \"JIF Quartile\"; an SJR journal-rank "
            "download: \"Title\", \"Issn\", \"SJR\", \"SJR Best Quartile\", \"H index\" and "
            "\"Categories\"; a DOAJ journal CSV: \"Journal title\", \"Journal ISSN (print version)\", "
            "\"Journal EISSN (online version)\" and \"APC\"; an own list: \"ISSN\" or \"E-ISSN\" (with any "
            "other columns). Nothing was loaded."},
        LayoutCase{
            "NotTheLayoutAskedFor",
            "Title,ISSN,Level\nA,1234-5678,1\n",
            {RankingLayout::Sjr, {}, "", 2025},
            "!The file \"f.csv\" is not an SJR journal-rank download: its columns are \"Title\", \"ISSN\", "
            "\"Level\"; expected \"Title\", \"Issn\", \"SJR\", \"SJR Best Quartile\", \"H index\" and "
            "\"Categories\". Nothing was loaded."},
        LayoutCase{
            "SjrWithoutYear", "Title;Issn;SJR;SJR Best Quartile;H index;Categories\nA;12345678;1;Q1;1;X\n",
            kAnyLayout,
            "!The SJR download \"f.csv\" names no year: its header has no \"Total Docs. (YYYY)\" column. "
            "Give the year. Nothing was loaded."},
        LayoutCase{"ARowCutShort", "Title,ISSN,Level\nA,1234-5678,1\nB,1234-5679\n", kAnyLayout,
                   "!The list \"f.csv\" has 2 fields on line 3 where the header has 3. Nothing was loaded."}),
    test::CaseName());

struct IssnCase {
    const char* name;
    const char* text;
    std::optional<std::string> printed;
};
void PrintTo(const IssnCase& c, std::ostream* out) { *out << c.name; }

class IssnFormTest : public ::testing::TestWithParam<IssnCase> {};

TEST_P(IssnFormTest, EveryFormAFileWritesIsThePrintedForm) {
    EXPECT_EQ(printedIssn(GetParam().text), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(Forms, IssnFormTest,
                         ::testing::Values(IssnCase{"Printed", "1234-567X", "1234-567X"},
                                           IssnCase{"NoHyphen", "1234567X", "1234-567X"},
                                           IssnCase{"LowerCaseX", "1234-567x", "1234-567X"},
                                           IssnCase{"Blanks", " 0007-9235\t", "0007-9235"},
                                           IssnCase{"NotAvailable", "N/A", std::nullopt},
                                           IssnCase{"Dash", "-", std::nullopt},
                                           IssnCase{"Empty", "", std::nullopt},
                                           IssnCase{"XNotLast", "123X-5678", std::nullopt},
                                           IssnCase{"TooShort", "1234-567", std::nullopt},
                                           IssnCase{"HyphenElsewhere", "12345-678", std::nullopt},
                                           IssnCase{"TwoNumbers", "15424863, 00079235", std::nullopt}),
                         test::CaseName());

}  // namespace
}  // namespace lumaref
