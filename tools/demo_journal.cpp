#include "demo_journal.h"

#include <array>
#include <vector>

#include "demo_random.h"
#include "demo_vocabulary.h"
#include "text/ascii.h"

namespace lumaref::demo {

namespace {

constexpr std::uint64_t kJournalStream = 1;

template <typename T>
const T& pick(Random& random, std::span<const T> items) {
    return items[random.below(items.size())];
}

std::string fillPattern(std::string_view pattern, std::string_view topic) {
    std::string out;
    const std::size_t hole = pattern.find("{}");
    out.append(pattern.substr(0, hole));
    out.append(topic);
    out.append(pattern.substr(hole + 2));
    return out;
}

std::string_view pickTopic(Random& random, const CategoryWords& words, std::size_t subject) {
    if (random.chance(550)) return words.subjects[subject];
    return pick(random, words.topics);
}

template <typename Items>
std::vector<unsigned> weightsOf(const Items& items) {
    std::vector<unsigned> weights;
    for (const auto& item : items) weights.push_back(item.weight);
    return weights;
}

std::string englishTitle(Random& random, const CategoryWords& words, std::size_t subject) {
    std::string topic(pickTopic(random, words, subject));
    if (random.chance(120)) {
        const std::string_view other = pick(random, words.topics);
        // Not "Optics and Nonlinear Optics".
        if (other.find(topic) == std::string_view::npos && topic.find(other) == std::string::npos) {
            topic += " and " + std::string(other);
        }
    }
    std::string title;
    if (random.chance(110)) {
        title = std::string(pick(random, regionalAdjectives())) + " Journal of " + topic;
    } else {
        static const std::vector<unsigned> weights = weightsOf(titlePatterns());
        title = fillPattern(titlePatterns()[random.weighted(weights)].word, topic);
    }
    static constexpr std::array<std::string_view, 8> kSuffixes = {
        " Part A",      " Part B",  " Part C",         ": Series A",
        " - Section B", " Express", " Communications", " Open"};
    if (random.chance(70)) title += kSuffixes[random.below(kSuffixes.size())];
    return title;
}

std::size_t pickSubject(Random& random, const CategoryWords& words) {
    // Earlier subjects are the bigger ones.
    std::vector<unsigned> weights;
    const std::size_t n = words.subjects.size();
    weights.reserve(n);
    for (std::size_t i = 0; i < n; ++i) weights.push_back(static_cast<unsigned>(2 * n - i));
    return random.weighted(weights);
}

void pickIndexes(Random& random, const CategoryWords& words, Journal& j) {
    if (words.contents1 == "Arts & Humanities") {
        switch (random.weighted({55, 25, 5, 15})) {
            case 0:
                j.ahci = true;
                break;
            case 1:
                j.esci = true;
                break;
            case 2:
                j.ahci = j.scie = true;
                break;
            default:
                break;
        }
    } else if (words.contents1 == "Social & Behavioral Sciences") {
        switch (random.weighted({20, 30, 50})) {
            case 0:
                j.scie = true;
                break;
            case 1:
                j.esci = true;
                break;
            default:
                break;
        }
    } else {
        switch (random.weighted({55, 15, 2, 20, 8})) {
            case 0:
                j.scie = true;
                break;
            case 1:
                j.sci = j.scie = true;
                break;
            case 2:
                j.sci = true;
                break;
            case 3:
                j.esci = true;
                break;
            default:
                break;
        }
    }
    const bool core = j.sci || j.scie || j.ahci;
    if (random.chance(core ? 700 : 100)) {
        j.contents1 = words.contents1;
        if (random.chance(250))
            j.contents2 = words.contents2 != words.contents1 ? words.contents2 : "Life Sciences";
    }
}

void pickRanking(Random& random, Journal& j) {
    const bool core = j.sci || j.scie || j.ahci;
    const unsigned rankedShare = core ? 900 : (j.esci ? 150 : 600);
    j.ranked = random.chance(rankedShare) && !(j.issn.empty() && j.eissn.empty());
    if (!j.ranked) return;
    j.rankedByEIssn = j.issn.empty() || (!j.eissn.empty() && random.chance(60));
    j.duplicateRanking = random.chance(4);
    j.emptyFigures = random.chance(10);

    // A long tail: most journals below 3, a few far above. Integer arithmetic and exact products
    // of doubles only, so every platform makes the same numbers.
    const double u = random.unit();
    j.impactMilli = 50 + static_cast<std::uint32_t>(u * u * u * 9000.0);
    const bool star = random.chance(20);
    if (star) j.impactMilli += 5000 + static_cast<std::uint32_t>(random.below(40000));
    j.impactWithoutSelfMilli = j.impactMilli * static_cast<std::uint32_t>(700 + random.below(301)) / 1000;
    j.totalCites = j.impactMilli * static_cast<std::uint32_t>(20 + random.below(600)) / 1000 +
                   static_cast<std::uint32_t>(random.below(100));
    if (!j.emptyFigures) {
        j.quartile = star ? 1 : 4 - static_cast<int>(u * 4.0);
        j.alsoInNextQuartile = j.quartile < 4 && random.chance(20);
    }
    j.figuresCopied = !j.esci && random.chance(700);
}

std::string address(Random& random, bool arabic) {
    if (arabic) return std::string(pick(random, arabicPublisherAddresses()));
    if (random.chance(700)) return std::string(pick(random, publisherAddresses()));
    return std::string(pick(random, institutions())) + ", " + std::to_string(1 + random.below(400)) + " " +
           std::string(pick(random, streetNames())) + ", " + std::string(pick(random, cityLines()));
}

}  // namespace

JournalMaker::JournalMaker(std::uint64_t seed) : seed_(seed), numbers_(seed) {}

Journal JournalMaker::make(std::uint64_t index) const {
    Random random = Random::forItem(seed_, kJournalStream + 100, index);
    static const std::vector<unsigned> weights = weightsOf(categoryWords());
    const std::size_t category = random.weighted(weights);
    return make(index, category, pickSubject(random, categoryWords()[category]));
}

Journal JournalMaker::make(std::uint64_t index, std::size_t category, std::size_t subject) const {
    Random random = Random::forItem(seed_, kJournalStream, index);
    const CategoryWords& words = categoryWords()[category];
    Journal j;
    j.category = category;
    j.subject = subject;

    bool arabic = false;
    const unsigned language = static_cast<unsigned>(random.below(1000));
    if (language < 30) {
        j.title = pick(random, foreignTitles());
    } else if (language < 40) {
        j.title = pick(random, arabicTitles());
        arabic = true;
    } else {
        j.title = englishTitle(random, words, subject);
    }

    // Two numbers per journal keep every ISSN and E-ISSN distinct up to five million journals.
    const bool printOnly = random.chance(150);
    const bool onlineOnly = !printOnly && random.chance(40);
    if (!onlineOnly) j.issn = formatIssn(numbers_(2 * index));
    if (!printOnly) j.eissn = formatIssn(numbers_(2 * index + 1));

    static const std::vector<unsigned> weights = weightsOf(frequencies());
    j.frequency = frequencies()[random.weighted(weights)].word;
    j.address = address(random, arabic);
    pickIndexes(random, words, j);
    pickRanking(random, j);
    return j;
}

std::string formatImpact(std::uint32_t milli) {
    const unsigned fraction = milli % 1000;
    std::string out = std::to_string(milli / 1000);
    out += '.';
    out += static_cast<char>('0' + fraction / 100);
    out += static_cast<char>('0' + fraction / 10 % 10);
    out += static_cast<char>('0' + fraction % 10);
    return out;
}

std::string formatCites(std::uint32_t cites) {
    const std::string digits = std::to_string(cites);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string rankingTitle(std::string_view title) { return upperAscii(title); }

}  // namespace lumaref::demo
