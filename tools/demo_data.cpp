#include "demo_data.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <utility>
#include <vector>

#include "demo_database.h"
#include "demo_journal.h"
#include "demo_master_list.h"
#include "demo_ranking_files.h"
#include "demo_vocabulary.h"
#include "lumaref_schema.h"
#include "picklists/list_file.h"
#include "text/error.h"
#include "text/text_file.h"

namespace fs = std::filesystem;

namespace lumaref::demo {

namespace {

// Distinct values in order of first appearance, as the pick-list rebuild collects them.
class FirstAppearance {
public:
    void add(std::size_t value) {
        if (value >= seen_.size()) seen_.resize(value + 1, false);
        if (!seen_[value]) {
            seen_[value] = true;
            order_.push_back(value);
        }
    }
    const std::vector<std::size_t>& order() const { return order_; }

private:
    std::vector<bool> seen_;
    std::vector<std::size_t> order_;
};

struct ListContents {
    FirstAppearance categories;
    std::vector<FirstAppearance> subjects = std::vector<FirstAppearance>(categoryWords().size());
    std::vector<std::string> frequencies;

    void add(const Journal& j) {
        categories.add(j.category);
        subjects[j.category].add(j.subject);
        if (!j.frequency.empty() &&
            std::find(frequencies.begin(), frequencies.end(), j.frequency) == frequencies.end()) {
            frequencies.emplace_back(j.frequency);
        }
    }
};

struct RankingEntry {
    std::uint32_t impactMilli;
    std::uint64_t journal;
    bool secondRow;
};

void makeDirectory(const fs::path& dir) {
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) throw Error("Cannot create directory \"" + dir.string() + "\": " + error.message());
}

// At the paths the program reads its lists from, with outDir as the program's folder.
void writeLists(const fs::path& outDir, const ListContents& lists) {
    makeDirectory(outDir / "lists" / "subjects");
    const std::string listFolder = (outDir / "lists").string();
    const auto words = categoryWords();
    std::vector<std::string> categories;
    for (std::size_t c : lists.categories.order()) categories.emplace_back(words[c].name);
    writeListFile(categoriesListPath(listFolder), categories);
    writeListFile(frequenciesListPath(listFolder), lists.frequencies);
    for (std::size_t c : lists.categories.order()) {
        std::vector<std::string> subjects;
        for (std::size_t s : lists.subjects[c].order()) subjects.emplace_back(words[c].subjects[s]);
        writeListFile(subjectListPath(listFolder, words[c].name).value(), subjects);
    }
}

std::uint64_t writeMasterLists(const fs::path& outDir, const Options& options, const JournalMaker& maker) {
    if (options.masterListEntries == 0) return 0;
    std::uint64_t files = 0;
    // Numbered after the database's journals, so an import adds journals the database does not hold yet.
    std::uint64_t next = options.journals;
    const auto words = categoryWords();
    for (std::size_t c = 0; c < words.size(); ++c) {
        const fs::path dir = outDir / "master-lists" / std::string(words[c].name);
        makeDirectory(dir);
        for (std::size_t s = 0; s < words[c].subjects.size(); ++s) {
            std::string text =
                masterListHeading(words[c].name, words[c].subjects[s], options.masterListEntries);
            for (std::uint64_t n = 1; n <= options.masterListEntries; ++n) {
                appendMasterListEntry(text, n, maker.make(next++, c, s));
            }
            replaceFileAtomically((dir / (std::string(words[c].subjects[s]) + ".txt")).string(), text);
            ++files;
        }
    }
    return files;
}

std::uint64_t writeRankingFiles(const fs::path& outDir, const Options& options) {
    if (!options.rankingFiles) return 0;
    const fs::path dir = outDir / "ranking-files";
    makeDirectory(dir);
    constexpr int kYear = 2023;
    const std::pair<const char*, std::string> files[] = {
        {"scimagojr 2023.csv", sjrDownload(options.seed, options.journals, kYear)},
        {"JCR-export.csv", jcrExport(options.seed, options.journals, kYear)},
        {"journalcsv.csv", doajJournalCsv(options.seed, options.journals)},
        {"approved-journals.csv", ownList(options.seed, options.journals)},
        {"Science Citation Index Expanded (SCIE).csv", masterListDownload(options.seed, options.journals)},
    };
    for (const auto& [name, text] : files) replaceFileAtomically((dir / name).string(), text);
    return std::size(files);
}

void fillDatabase(DemoDatabase& db, const Options& options, const JournalMaker& maker, ListContents& lists,
                  Summary& summary) {
    std::vector<RankingEntry> ranking;
    for (std::uint64_t i = 0; i < options.journals; ++i) {
        const Journal j = maker.make(i);
        db.addJournal(j);
        lists.add(j);
        if (j.ranked) {
            ranking.push_back({j.impactMilli, i, false});
            if (j.duplicateRanking) ranking.push_back({j.impactMilli * 9 / 10 + 1, i, true});
        }
    }
    summary.journals = options.journals;

    // The ranking table lists journals by impact factor, highest first.
    std::stable_sort(ranking.begin(), ranking.end(), [](const RankingEntry& a, const RankingEntry& b) {
        return a.impactMilli > b.impactMilli;
    });
    int rank = 0;
    for (const RankingEntry& entry : ranking) {
        const Journal j = maker.make(entry.journal);
        db.addRanking(++rank, j, entry.secondRow);
        ++summary.rankingRows;
        if (entry.secondRow || j.quartile == 0) continue;
        db.addQuartile(j.quartile, j);
        ++summary.quartileRows;
        if (j.alsoInNextQuartile) {
            db.addQuartile(j.quartile + 1, j);
            ++summary.quartileRows;
        }
    }
}

}  // namespace

Summary generate(const Options& options) {
    if (options.outDir.empty()) throw Error("No output directory given");
    const fs::path outDir(options.outDir);
    const fs::path dbPath = outDir / "Database.mdb";
    std::error_code error;
    if (fs::exists(dbPath, error) && !options.force) {
        throw Error("\"" + dbPath.string() + "\" already exists; use --force to replace it");
    }
    makeDirectory(outDir);

    Summary summary;
    const JournalMaker maker(options.seed);
    ListContents lists;
    // The database is put in place last, once the lists are written too.
    DemoDatabase db(dbPath.string(), options.force, kSchemaSql);
    fillDatabase(db, options, maker, lists, summary);
    writeLists(outDir, lists);
    summary.categories = lists.categories.order().size();
    summary.masterListFiles = writeMasterLists(outDir, options, maker);
    summary.rankingFiles = writeRankingFiles(outDir, options);
    db.commit();
    return summary;
}

}  // namespace lumaref::demo
