#include "app/journal_database.h"

#include <string>

#include "db/schema_names.h"

namespace lumaref {

JournalDatabase::JournalDatabase(std::string connectionString)
    : connection(std::move(connectionString)),
      journals("ADOQuery1", connection, std::string(kJournalsTable)),
      impactFactors("ADOQuery2", connection, std::string(kRankingTable)),
      quartiles{RecordSet("ADOQuery3", connection, std::string(kQuartileTables[0])),
                RecordSet("ADOQuery4", connection, std::string(kQuartileTables[1])),
                RecordSet("ADOQuery5", connection, std::string(kQuartileTables[2])),
                RecordSet("ADOQuery6", connection, std::string(kQuartileTables[3]))} {}

std::array<RecordSet*, 4> JournalDatabase::quartileTables() {
    return {&quartiles[0], &quartiles[1], &quartiles[2], &quartiles[3]};
}

std::array<RecordSet*, 6> JournalDatabase::recordSets() {
    return {&journals, &impactFactors, &quartiles[0], &quartiles[1], &quartiles[2], &quartiles[3]};
}

}  // namespace lumaref
