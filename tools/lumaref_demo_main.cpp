#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "demo_data.h"

namespace {

constexpr const char* kUsage =
    "usage: lumaref-demo --journals N --out DIR [--seed S] [--master-list-entries M] [--ranking-files]\n"
    "                    [--force]\n"
    "  Writes DIR/Database.mdb, DIR/lists/ and DIR/master-lists/ with N generated journals, and with\n"
    "  --ranking-files DIR/ranking-files/: an SJR download, a JCR export, the DOAJ journal CSV, an own\n"
    "  list and a master-list download of N rows each.\n";

bool parseNumber(std::string_view text, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end && !text.empty();
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "lumaref-demo: %s\n%s", message.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    lumaref::demo::Options options;
    bool haveJournals = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--force") {
            options.force = true;
            continue;
        }
        if (arg == "--ranking-files") {
            options.rankingFiles = true;
            continue;
        }
        if (arg != "--journals" && arg != "--seed" && arg != "--out" && arg != "--master-list-entries") {
            return usageError("unknown argument '" + std::string(arg) + "'");
        }
        if (i + 1 >= argc) return usageError(std::string(arg) + " needs a value");
        const std::string_view value = argv[++i];
        if (arg == "--out") {
            options.outDir = value;
            continue;
        }
        std::uint64_t number = 0;
        if (!parseNumber(value, number)) {
            return usageError(std::string(arg) + " needs a whole number, not '" + std::string(value) + "'");
        }
        if (arg == "--journals") {
            options.journals = number;
            haveJournals = true;
        } else if (arg == "--seed") {
            options.seed = number;
        } else {
            options.masterListEntries = number;
        }
    }
    if (!haveJournals) return usageError("--journals is required");
    if (options.outDir.empty()) return usageError("--out is required");

    try {
        const lumaref::demo::Summary summary = lumaref::demo::generate(options);
        std::printf("%llu journals written to %s/Database.mdb\n",
                    static_cast<unsigned long long>(summary.journals), options.outDir.c_str());
        std::printf(
            "(%llu ranking rows, %llu quartile rows, %llu categories, %llu master-list files, %llu ranking "
            "files)\n",
            static_cast<unsigned long long>(summary.rankingRows),
            static_cast<unsigned long long>(summary.quartileRows),
            static_cast<unsigned long long>(summary.categories),
            static_cast<unsigned long long>(summary.masterListFiles),
            static_cast<unsigned long long>(summary.rankingFiles));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumaref-demo: %s\n", e.what());
        return 1;
    }
}
