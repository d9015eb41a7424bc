// The view exports read back: CSV byte for byte and through the CSV reader, XLSX by unzipping it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "exchange/view_csv.h"
#include "exchange/view_xlsx.h"
#include "support/journals_fixture.h"
#include "text/csv_rows.h"

namespace lumaref {
namespace {

// Four journals shown in stored order, a fifth hidden by the filter.
constexpr std::string_view kJournalsSql = R"sql(
INSERT INTO journals ("Title", "ISSN", "IF", "Total Cites", "Address", "category") VALUES
  ('Quotes "inside"', '1234-5678', '52.70', '1,200', 'Line one' || char(13, 10) || 'Line two', 'Physics'),
  ('Comma, then more', '0012-3456', '<0.1', '007', NULL, 'Physics'),
  ('Hidden', '9999-9999', '1', '1', 'nowhere', 'Other'),
  ('Ünïcode' || char(9) || '物理', '', '-3', '12345678901234567', 'LF only' || char(10) || 'end', 'Physics'),
  ('=SUM(A1)', '2049-363X', '0.25', '', 'ends with CR' || char(13), 'Physics');
)sql";

// A CSV reader gets every shown value back as it stands, row by row in the order shown.
void expectCsvShowsTheView(const std::string& path, const RecordSet& journals,
                           const std::vector<ViewColumn>& columns) {
    std::vector<std::vector<std::string>> read;
    const std::string bytes = test::readFile(path).substr(3);
    EXPECT_TRUE(readCsvRows(bytes, ',', [&](const CsvRow& row) {
        if (row.empty()) return true;  // the line break after the last row
        read.emplace_back();
        for (std::size_t i = 0; i < row.size(); ++i) read.back().emplace_back(row[i]);
        return true;
    }));
    ASSERT_EQ(read.size(), static_cast<std::size_t>(journals.recordCount()) + 1);
    for (int position = 0; position < journals.recordCount(); ++position) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            ASSERT_EQ(read[static_cast<std::size_t>(position) + 1][i],
                      journals.valueAt(position, columns[i].field))
                << "row " << position << " column " << i;
        }
    }
}

class ViewExportTest : public test::JournalsFixture {
protected:
    void SetUp() override {
        test::createDatabase(dbPath, kJournalsSql);
        openJournals();
        journals->setFilter("category='Physics'");
        journals->setFiltered(true);
        journals->setRecNo(3);
        // Not the table's order, and a caption that needs quoting.
        for (const auto& [name, caption] :
             std::vector<std::pair<std::string, std::string>>{{"IF", "IF"},
                                                              {"Title", "Journal Title"},
                                                              {"ISSN", "ISSN"},
                                                              {"Total Cites", "Total Cites"},
                                                              {"Address", "Address, \"full\""}}) {
            columns.push_back({journals->fieldIndex(name), caption, nullptr});
        }
    }

    std::vector<ViewColumn> columns;
};

TEST_F(ViewExportTest, CsvIsUtf8WithByteOrderMarkCrLfAndQuotesWhereRfc4180AsksForThem) {
    exportViewCsv(*journals, columns, dir.file("view.csv"));
    EXPECT_EQ(test::readFile(dir.file("view.csv")),
              "\xEF\xBB\xBFIF,Journal Title,ISSN,Total Cites,\"Address, \"\"full\"\"\"\r\n"
              "52.70,\"Quotes \"\"inside\"\"\",1234-5678,\"1,200\",\"Line one\r\nLine two\"\r\n"
              "<0.1,\"Comma, then more\",0012-3456,007,\r\n"
              "-3,Ünïcode\t物理,,12345678901234567,\"LF only\nend\"\r\n"
              "0.25,=SUM(A1),2049-363X,,\"ends with CR\r\"\r\n");
    EXPECT_EQ(journals->recNo(), 3);

    expectCsvShowsTheView(dir.file("view.csv"), *journals, columns);
}

// More rows than a round makes, split between two threads, from a table large enough to load in two
// parts: every row whole, in the order shown.
TEST_F(ViewExportTest, RowsOfManyRoundsComeOutWholeInTheOrderShownEditsIncluded) {
    test::createDatabase(dir.file("many.mdb"), R"sql(
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60000)
INSERT INTO journals ("Title", "ISSN", "Address", "category")
SELECT 'Journal ' || i, printf('%04d-%04d', i / 10000, i % 10000),
       CASE WHEN i % 7 = 0 THEN 'Street ' || i || ', Town' END, CASE WHEN i % 3 = 0 THEN 'Other' ELSE 'Physics' END
FROM n;
)sql");
    openJournals("Data Source=many.mdb;");
    journals->setFilter("category='Physics'");
    journals->setFiltered(true);
    ASSERT_GT(journals->recordCount(), 8192 + 1);
    // An edited cell and a yes/no column are read through the column, not straight from its bytes.
    journals->setRecNo(5);
    journals->edit();
    journals->setFieldAsString("Title", "Edited, in place");
    journals->post();
    columns.push_back({journals->fieldIndex("Science Citation Index"), "SCI", nullptr});
    exportViewCsv(*journals, columns, dir.file("many.csv"));
    expectCsvShowsTheView(dir.file("many.csv"), *journals, columns);
}

// Each of the four bytes that ask for quotes is found at every place in a value, and no other byte is;
// the value is copied whole either way.
bool csvNeedsQuotes(std::string_view value) {
    std::string copy(value.size(), '\0');
    const bool quoted = copyTellingCsvQuotes(value, copy.data());
    EXPECT_EQ(copy, value);
    return quoted;
}

TEST(CsvQuotingTest, AQuoteACommaCrOrLfAnywhereAndNothingElse) {
    for (const char special : {'"', ',', '\r', '\n'}) {
        for (std::size_t length = 1; length <= 20; ++length) {
            for (std::size_t at = 0; at < length; ++at) {
                std::string value(length, 'a');
                value[at] = special;
                EXPECT_TRUE(csvNeedsQuotes(value)) << int(special) << " at " << at << " of " << length;
            }
        }
    }
    std::string others;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '"' && byte != ',' && byte != '\r' && byte != '\n') others += static_cast<char>(byte);
    }
    for (std::size_t at = 0; at < others.size(); ++at)
        EXPECT_FALSE(csvNeedsQuotes(std::string_view(others).substr(at))) << "from byte " << at;
    EXPECT_FALSE(csvNeedsQuotes(""));
}

// One part of a workbook, as unzip prints it; fails the test when it cannot.
std::string unzipped(const std::string& archive, const std::string& part) {
    const std::string command = "unzip -p '" + archive + "' '" + part + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return {};
    }
    std::string bytes;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, got);
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return bytes;
}

// The text of an XML element as a spreadsheet reads it: entities, and control characters written as
// "_x000D_" (the spreadsheet's own escape).
std::string xmlText(std::string_view xml) {
    const std::pair<std::string_view, char> entities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&amp;", '&'}};
    std::string text;
    for (std::size_t at = 0; at < xml.size();) {
        bool replaced = false;
        for (const auto& [entity, character] : entities) {
            if (xml.substr(at, entity.size()) == entity) {
                text += character;
                at += entity.size();
                replaced = true;
                break;
            }
        }
        if (replaced) continue;
        if (xml.substr(at, 2) == "_x" && at + 7 <= xml.size() && xml[at + 6] == '_') {
            text += static_cast<char>(std::stoi(std::string(xml.substr(at + 2, 4)), nullptr, 16));
            at += 7;
            continue;
        }
        text += xml[at++];
    }
    return text;
}

// The value of attribute `name` in a tag's text, or "".
std::string attribute(std::string_view tag, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    const std::size_t at = tag.find(key);
    if (at == std::string_view::npos) return {};
    const std::size_t begin = at + key.size();
    return std::string(tag.substr(begin, tag.find('"', begin) - begin));
}

// The number format of each cell style of a workbook's styles, by the style's index: its format code,
// or "General".
std::vector<std::string> numberFormatsOf(std::string_view styles) {
    std::map<std::string, std::string> codes = {{"0", "General"}};
    for (std::size_t at = 0; (at = styles.find("<numFmt ", at)) != std::string_view::npos; ++at) {
        const std::string_view tag = styles.substr(at, styles.find('>', at) - at);
        codes[attribute(tag, "numFmtId")] = xmlText(attribute(tag, "formatCode"));
    }
    std::vector<std::string> formats;
    const std::size_t begin = styles.find("<cellXfs");
    const std::size_t end = styles.find("</cellXfs>");
    for (std::size_t at = begin; (at = styles.find("<xf ", at + 1)) < end;) {
        const std::string id = attribute(styles.substr(at, styles.find('>', at) - at), "numFmtId");
        formats.push_back(codes.count(id) ? codes[id] : "built-in " + id);
    }
    return formats;
}

// Every cell of a sheet by reference: "n:52.7" for a number ("n:52.7 0.00" with a number format when
// numberFormats are given), "s:text" for an inline string, else "?".
std::map<std::string, std::string> cellsOf(std::string_view sheetXml,
                                           const std::vector<std::string>& numberFormats = {}) {
    std::map<std::string, std::string> cells;
    for (std::size_t at = 0; (at = sheetXml.find("<c ", at)) != std::string_view::npos;) {
        const std::size_t tagEnd = sheetXml.find('>', at);
        const std::string_view tag = sheetXml.substr(at, tagEnd - at);
        const std::string reference = attribute(tag, "r");
        if (tag.back() == '/') {
            cells[reference] = "?empty";
            at = tagEnd;
            continue;
        }
        const std::size_t close = sheetXml.find("</c>", tagEnd);
        const std::string_view content = sheetXml.substr(tagEnd + 1, close - tagEnd - 1);
        const std::string type = attribute(tag, "t");
        const auto inside = [&](std::string_view open,
                                std::string_view end) -> std::optional<std::string_view> {
            if (content.substr(0, open.size()) != open || content.size() < open.size() + end.size() ||
                content.substr(content.size() - end.size()) != end)
                return std::nullopt;
            return content.substr(open.size(), content.size() - open.size() - end.size());
        };
        const std::optional<std::string_view> number =
            type.empty() ? inside("<v>", "</v>") : std::optional<std::string_view>();
        std::optional<std::string_view> text;
        if (type == "inlineStr") {
            text = inside("<is><t>", "</t></is>");
            if (!text) text = inside("<is><t xml:space=\"preserve\">", "</t></is>");
        }
        if (number) {
            cells[reference] = "n:" + std::string(*number);
            const std::string style = attribute(tag, "s");
            if (!style.empty() && !numberFormats.empty() && numberFormats.at(std::stoul(style)) != "General")
                cells[reference] += " " + numberFormats.at(std::stoul(style));
        } else if (text) {
            cells[reference] = "s:" + xmlText(*text);
        } else {
            cells[reference] = "?" + type + ":" + std::string(content);
        }
        at = close;
    }
    return cells;
}

ViewDescription describedView() {
    ViewDescription description;
    description.database = "/srv/journals/Database.mdb";
    description.selection = "category Physics";
    description.search = "Journal Title: optic";
    description.exportedAt = "2024-05-06 14:03";
    description.sources = {"DOAJ, CC BY-SA 4.0", "Institution list 2024"};
    return description;
}

TEST_F(ViewExportTest, XlsxHoldsNumbersAsNumbersUnderAFrozenFilteredHeaderAndDescribesTheView) {
    const std::string path = dir.file("view.xlsx");
    const XlsxExportResult result = exportViewXlsx(*journals, columns, describedView(), path);
    EXPECT_EQ(result.cutValues, 0u);
    EXPECT_EQ(journals->recNo(), 3);

    const std::string sheet = unzipped(path, "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find(R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>)"),
              std::string::npos)
        << sheet.substr(0, 600);
    EXPECT_NE(sheet.find(R"(<autoFilter ref="A1:E5"/>)"), std::string::npos);
    EXPECT_EQ(sheet.find("<f>"), std::string::npos);  // "=SUM(A1)" is text, not a formula
    const std::map<std::string, std::string> expected = {
        {"A1", "s:IF"},
        {"B1", "s:Journal Title"},
        {"C1", "s:ISSN"},
        {"D1", "s:Total Cites"},
        {"E1", "s:Address, \"full\""},
        {"A2", "n:52.7 0.00"},
        {"B2", "s:Quotes \"inside\""},
        {"C2", "s:1234-5678"},
        {"D2", "n:1200 #,##0"},
        {"E2", "s:Line one\r\nLine two"},
        {"A3", "s:<0.1"},
        {"B3", "s:Comma, then more"},
        {"C3", "s:0012-3456"},
        {"D3", "s:007"},
        {"A4", "n:-3"},
        {"B4", "s:Ünïcode\t物理"},
        {"D4", "s:12345678901234567"},
        {"E4", "s:LF only\nend"},
        {"A5", "n:0.25"},
        {"B5", "s:=SUM(A1)"},
        {"C5", "s:2049-363X"},
        {"E5", "s:ends with CR\r"},
    };
    EXPECT_EQ(cellsOf(sheet, numberFormatsOf(unzipped(path, "xl/styles.xml"))), expected);

    const std::string workbook = unzipped(path, "xl/workbook.xml");
    EXPECT_NE(workbook.find(R"(<sheet name="Journals" sheetId="1")"), std::string::npos);
    EXPECT_NE(workbook.find(R"(<sheet name="About" sheetId="2")"), std::string::npos);
    const std::map<std::string, std::string> about = {
        {"A1", "s:Database"},  {"B1", "s:/srv/journals/Database.mdb"},
        {"A2", "s:Selection"}, {"B2", "s:category Physics"},
        {"A3", "s:Search"},    {"B3", "s:Journal Title: optic"},
        {"A4", "s:Rows"},      {"B4", "n:4"},
        {"A5", "s:Exported"},  {"B5", "s:2024-05-06 14:03"},
        {"A6", "s:Source"},    {"B6", "s:DOAJ, CC BY-SA 4.0"},
        {"A7", "s:Source"},    {"B7", "s:Institution list 2024"},
    };
    EXPECT_EQ(cellsOf(unzipped(path, "xl/worksheets/sheet2.xml")), about);
}

TEST_F(ViewExportTest, AValueLongerThanACellHoldsIsCutAtACharacterAndCounted) {
    // 'é' is two bytes: the cut falls after 32,767 characters, not bytes.
    std::string longText;
    for (std::size_t i = 0; i < kXlsxMaxCellCharacters + 10; ++i) longText += "é";
    test::execSql(dbPath, "UPDATE journals SET \"Address\" = " + test::sqlQuoted(longText) +
                              " WHERE \"Title\" = '=SUM(A1)'");
    openJournals();
    const std::string path = dir.file("long.xlsx");
    EXPECT_EQ(exportViewXlsx(*journals, columns, ViewDescription(), path).cutValues, 1u);
    const std::map<std::string, std::string> cells = cellsOf(unzipped(path, "xl/worksheets/sheet1.xml"));
    ASSERT_TRUE(cells.count("E6"));
    EXPECT_EQ(cells.at("E6"), "s:" + longText.substr(0, 2 * kXlsxMaxCellCharacters));
}

}  // namespace
}  // namespace lumaref
