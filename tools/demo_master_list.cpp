#include "demo_master_list.h"

namespace lumaref::demo {

namespace {

void line(std::string& out, std::string_view text) {
    out.append(text);
    out.append("\r\n");
}

}  // namespace

void appendMasterListEntry(std::string& out, std::size_t number, const Journal& journal) {
    line(out, std::to_string(number) + ". " + journal.title);
    if (!journal.frequency.empty()) line(out, journal.frequency);
    if (!journal.issn.empty()) line(out, "ISSN: " + journal.issn);
    if (!journal.eissn.empty()) line(out, "E-ISSN: " + journal.eissn);
    line(out, journal.address);
    if (journal.sci) line(out, "Science Citation Index");
    if (journal.scie) line(out, "Science Citation Index Expanded");
    if (journal.esci) line(out, "Emerging Sources Citation Index");
    if (journal.ahci) line(out, "Arts & Humanities Citation Index");
    if (!journal.contents1.empty()) line(out, "Current Contents - " + std::string(journal.contents1));
    if (!journal.contents2.empty()) line(out, "Current Contents - " + std::string(journal.contents2));
    line(out, "");
}

std::string masterListHeading(std::string_view category, std::string_view subject, std::size_t entries) {
    std::string out;
    line(out, "Master Journal List");
    line(out, std::string(category) + " - " + std::string(subject));
    line(out, "Total journals: " + std::to_string(entries));
    line(out, "");
    return out;
}

}  // namespace lumaref::demo
