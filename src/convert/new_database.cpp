#include "convert/new_database.h"

#include <sqlite3.h>

#include "convert/staged_database.h"
#include "db/statement.h"
#include "lumaref_schema.h"
#include "text/error.h"

namespace lumaref {

void createNewDatabase(const std::string& target, bool replace) {
    StagedDatabase database(target, replace);
    const std::string sql(kSchemaSql);
    const int status = sqlite3_exec(database.handle(), sql.c_str(), nullptr, nullptr, nullptr);
    if (status != SQLITE_OK) {
        throw Error("Cannot create the database '" + target +
                    "': " + providerMessage(database.handle(), status));
    }
    database.commit();
}

}  // namespace lumaref
