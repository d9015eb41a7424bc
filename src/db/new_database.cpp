#include "db/new_database.h"

#include "db/staged_database.h"
#include "db/statement.h"
#include "lumaref_schema.h"
#include "text/error.h"

namespace lumaref {

void createNewDatabase(const std::string& target, bool replace) {
    StagedDatabase database(target, replace);
    try {
        exec(database.handle(), kSchemaSql);
    } catch (const SqliteError& failure) {
        throw Error("Cannot create the database '" + target + "': " + failure.what());
    }
    database.commit();
}

}  // namespace lumaref
