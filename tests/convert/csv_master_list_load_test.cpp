// lumaref-convert --master-list and --jcr: the database after each, and what the tool says.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "convert/convert_arguments.h"
#include "convert/convert_command.h"
#include "convert_run.h"
#include "support/temp_database.h"
#include "support/temp_dir.h"

namespace lumaref {
namespace {

constexpr std::string_view kHeader =
    "Journal title,ISSN,eISSN,Publisher name,Publisher address,Languages,Web of Science Categories\n";

TEST(MasterListLoad, AddsOneRecordPerCategoryAndMergesTheNextIndex) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database);
    test::writeFile(dir.file("Science Citation Index Expanded (SCIE).csv"),
                    std::string(kHeader) +
                        "Acta,1000-0001,2000-0001,OSA,Washington,English,Optics|Acoustics\n" +
                        "Online,,2000-0002,,,English,Optics\nBare,,,P,,English,\n");
    const test::CommandRun scie =
        test::runConvertCommand({"--master-list", dir.file("Science Citation Index Expanded (SCIE).csv"),
                                 "--category", "Physics", database});
    EXPECT_EQ(scie.status, 0) << scie.err;
    EXPECT_NE(scie.out.find("Read 3 rows in "), std::string::npos) << scie.out;
    EXPECT_NE(scie.out.find("4 journal records added, 0 merged into records already stored (flag: Science "
                            "Citation Index Expanded), 1 rows without ISSN or eISSN."),
              std::string::npos)
        << scie.out;

    test::writeFile(dir.file("esci.csv"), std::string(kHeader) + "Acta,1000-0001,,OSA,,English,Optics\n" +
                                              "Online,,2000-0002,,,English,Optics\n");
    const test::CommandRun unnamed =
        test::runConvertCommand({"--master-list", dir.file("esci.csv"), "--category", "Physics", database});
    EXPECT_EQ(unnamed.status, 1);
    EXPECT_NE(unnamed.err.find("names no citation index: give --index"), std::string::npos) << unnamed.err;
    const test::CommandRun esci = test::runConvertCommand(
        {"--master-list", dir.file("esci.csv"), "--category", "Physics", "--index", "esci", database});
    EXPECT_EQ(esci.status, 0) << esci.err;
    EXPECT_NE(esci.out.find("0 journal records added, 2 merged"), std::string::npos) << esci.out;

    EXPECT_EQ(
        test::queryText(database,
                        "SELECT group_concat(Title || ':' || subject || ':' || ifnull(ISSN, '-') || ':' || "
                        "ifnull(Address, '-') || ':' || \"Science Citation Index Expanded\" || \"Emerging "
                        "Sources Citation Index\", ' ') FROM (SELECT * FROM journals ORDER BY rowid)"),
        "Acta:Optics:1000-0001:OSA, Washington:11 Acta:Acoustics:1000-0001:OSA, Washington:10 "
        "Online:Optics:-:-:11 Bare:Physics:-:P:10");

    // A category that cannot name a list file is refused before the database is touched.
    const test::CommandRun bad = test::runConvertCommand(
        {"--master-list", dir.file("esci.csv"), "--category", "a/b", "--index", "none", database});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("the category \"a/b\" is not a valid file name"), std::string::npos) << bad.err;
    EXPECT_EQ(test::queryText(database, "SELECT count(*) FROM journals"), "4");
}

// What the record set does to a value it is given, the tool does too: text longer than its field's
// declared size is cut between characters, and the cut value is what a later load matches.
TEST(MasterListLoad, CutsTextToTheFieldSizeAndMatchesNumbersInAnyCase) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database);
    const std::string longTitle = std::string(254, 'T') + "\xC3\xA9\xC3\xA9";  // 256 characters
    const std::string longSubject = std::string(300, 'S');
    test::writeFile(dir.file("scie.csv"), std::string(kHeader) + longTitle + ",1000-000x,,P,,English," +
                                              longSubject + "\nOther,,2000-000x,,,English,Optics\n");
    test::writeFile(dir.file("esci.csv"), std::string(kHeader) + "Again 5\" Disks,1000-000X,,,,English," +
                                              longSubject + "\nOther,,2000-000X,,,English,Optics\n");
    struct Load {
        const char* file;
        const char* index;
        const char* says;
    };
    const Load loads[] = {
        {"scie.csv", "scie", "2 journal records added, 0 merged"},
        {"esci.csv", "esci",
         "0 journal records added, 2 merged into records already stored (flag: Emerging Sources "
         "Citation Index), 0 rows without ISSN or eISSN.\n0 journal records of the category carry the flag "
         "but are not in the file, 0 cleared.\nWarning: a quote inside a field "
         "that does not start with one was read as a character, on line 2.\n"}};
    for (const Load& load : loads) {
        const test::CommandRun run = test::runConvertCommand(
            {"--master-list", dir.file(load.file), "--category", "Physics", "--index", load.index, database});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find(load.says), std::string::npos) << run.out;
    }
    EXPECT_EQ(
        test::queryText(database,
                        "SELECT group_concat(length(Title) || ':' || length(subject) || ':' || "
                        "\"Science Citation Index Expanded\" || \"Emerging Sources Citation Index\", ' ') "
                        "FROM (SELECT * FROM journals ORDER BY rowid)"),
        "255:255:11 5:6:11");
    EXPECT_EQ(test::queryText(database, "SELECT substr(Title, 250) FROM journals WHERE rowid = 1"),
              "TTTTT\xC3\xA9");
}

// A realistic export: a title line, a journal ranked in two categories, an "N/A" ISSN, a journal with
// no number at all, an undated column beside two dated ones, and the copyright footer.
TEST(JcrLoad, RoutesRowsByQuartileAndStoresEachJournalUnderBothNumbers) {
    test::TempDir dir;
    const std::string database = dir.file("Database.mdb");
    test::createDatabase(database,
                         "INSERT INTO jcr2018 (ISSN) VALUES ('old'); INSERT INTO JCRQ2 (ISSN) VALUES "
                         "('old');");
    test::writeFile(
        dir.file("JCR.csv"),
        "\"Journal Data Filtered By:  Selected JCR Year: 2023 Selected Editions: SCIE\"\r\n"
        "\"Journal name\",\"JCR Abbreviation\",\"Publisher\",\"ISSN\",\"eISSN\",\"Category\",\"Edition\","
        "\"Total Citations\",\"2022 JIF\",\"2023 JIF\",\"JIF Quartile\",\"2023 JCI\",\"% of OA Gold\","
        "\"JIF Without Self Cites\"\r\n"
        "\"Acta Optica\",\"ACTA OPT\",\"OSA\",\"1000-0001\",\"2000-0001\",\"OPTICS\",\"SCIE\",\"12,345\","
        "\"3.1\",\"3.456\",\"Q1\",\"1.20\",\"10.5%\",\"3.2\"\r\n"
        "\"Acta Optica\",\"ACTA OPT\",\"OSA\",\"1000-0001\",\"2000-0001\",\"PHYSICS, "
        "APPLIED\",\"SCIE\",\"12,345\","
        "\"3.1\",\"3.456\",\"Q2\",\"1.20\",\"10.5%\",\"3.2\"\r\n"
        "\"Online Photonics\",\"ONLINE "
        "PHOTON\",\"X\",\"N/A\",\"2000-0002\",\"OPTICS\",\"SCIE\",\"88\",\"N/A\","
        "\"<0.1\",\"Q4\",\"0.01\",\"100%\",\"<0.1\"\r\n"
        "\"Nameless\",\"NAMELESS\",\"X\",\"\",\"N/A\",\"OPTICS\",\"ESCI\",\"1\",\"N/A\",\"N/A\",\"N/"
        "A\",\"0\","
        "\"0%\",\"N/A\"\r\n"
        "\r\n"
        "\"Copyright (c) 2024 Clarivate\"\r\n"
        "\"By exporting the selected data, you agree to the terms of use\"\r\n");
    const test::CommandRun run = test::runConvertCommand({"--jcr", dir.file("JCR.csv"), database});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Read 4 rows in "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("impact factors from \"2023 JIF\" (year 2023)."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Stored 3 rows in jcr2018, 2 in JCRQ1, 2 in JCRQ2, 0 in JCRQ3, 1 in JCRQ4."),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("1 journals without ISSN or eISSN (not stored), 1 rows without a quartile."),
              std::string::npos)
        << run.out;

    struct Table {
        const char* sql;
        const char* rows;
    };
    const Table tables[] = {
        {"SELECT group_concat(ISSN || '|' || \"Full Journal Title\" || '|' || \"Total Cites\" || '|' || "
         "\"Journal Impact Factor\" || '|' || \"Impact Factor without Journal Self Cites\" || '|' || "
         "ifnull(Rank, '-'), ' / ') FROM (SELECT * FROM jcr2018 ORDER BY rowid)",
         "1000-0001|Acta Optica|12,345|3.456|3.2|- / 2000-0001|Acta Optica|12,345|3.456|3.2|- / "
         "2000-0002|Online Photonics|88|<0.1|<0.1|-"},
        {"SELECT group_concat(ISSN || '|' || \"Journal Title\", ' / ') FROM JCRQ1",
         "1000-0001|Acta Optica / 2000-0001|Acta Optica"},
        {"SELECT group_concat(ISSN, ' / ') FROM JCRQ2", "1000-0001 / 2000-0001"},
        {"SELECT count(*) FROM JCRQ3", "0"},
        {"SELECT group_concat(ISSN, ' / ') FROM JCRQ4", "2000-0002"},
    };
    for (const Table& table : tables)
        EXPECT_EQ(test::queryText(database, table.sql), table.rows) << table.sql;

    // A row cut short refuses the whole export and leaves the tables as they were.
    test::writeFile(dir.file("short.csv"),
                    "\"Journal name\",\"ISSN\",\"eISSN\",\"Total Citations\",\"2023 JIF\",\"JIF Quartile\"\n"
                    "A,1,2,3,4,Q1\nB,1,2\n");
    const test::CommandRun cut = test::runConvertCommand({"--jcr", dir.file("short.csv"), database});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("has 3 fields on line 3 where the header has 6 or more. Nothing was loaded."),
              std::string::npos)
        << cut.err;
    EXPECT_EQ(test::queryText(database, "SELECT count(*) FROM jcr2018"), "3");
}

}  // namespace
}  // namespace lumaref
