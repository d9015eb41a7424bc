#include "app/journal_database.h"

#include "db/connection_string.h"

namespace lumaref {

JournalDatabase::JournalDatabase()
    : connection(kDefaultConnectionString),
      journals("ADOQuery1", connection, "journals"),
      impactFactors("ADOQuery2", connection, "jcr2018"),
      quartiles{RecordSet("ADOQuery3", connection, "JCRQ1"), RecordSet("ADOQuery4", connection, "JCRQ2"),
                RecordSet("ADOQuery5", connection, "JCRQ3"), RecordSet("ADOQuery6", connection, "JCRQ4")} {}

std::array<RecordSet*, 4> JournalDatabase::quartileTables() {
    return {&quartiles[0], &quartiles[1], &quartiles[2], &quartiles[3]};
}

std::array<RecordSet*, 6> JournalDatabase::recordSets() {
    return {&journals, &impactFactors, &quartiles[0], &quartiles[1], &quartiles[2], &quartiles[3]};
}

}  // namespace lumaref
