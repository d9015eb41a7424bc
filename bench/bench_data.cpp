#include "bench_data.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "demo_data.h"
#include "demo_vocabulary.h"

namespace fs = std::filesystem;

namespace lumaref::bench {

static_assert(kCategory == demo::kOpticsCategory);

namespace {

std::string cacheRoot() {
    const char* env = std::getenv("LUMAREF_BENCH_DATA");
    return env != nullptr && *env != '\0' ? env : LUMAREF_BENCH_DATA_DIR;
}

}  // namespace

std::string dataDirFor(std::uint64_t journals) {
    std::string dir = (fs::path(cacheRoot()) / std::to_string(journals)).string();
    // The generator renames Database.mdb into place last: if it is there, the data is complete.
    if (!fs::exists(fs::path(dir) / "Database.mdb")) {
        std::fprintf(stderr, "generating %llu journals in %s ...\n",
                     static_cast<unsigned long long>(journals), dir.c_str());
        demo::Options options;
        options.journals = journals;
        options.seed = 1;
        options.outDir = dir;
        options.masterListEntries = 0;
        demo::generate(options);
    }
    return dir;
}

std::string databasePathFor(std::uint64_t journals) {
    return (fs::path(dataDirFor(journals)) / "Database.mdb").string();
}

std::uint64_t fileSize(const std::string& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : static_cast<std::uint64_t>(size);
}

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::string freshText(std::string_view text, std::uint64_t iteration) {
    std::string out(iteration % 64, ' ');
    out.append(text);
    return out;
}

}  // namespace lumaref::bench
