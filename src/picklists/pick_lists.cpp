#include "picklists/pick_lists.h"

#include "db/connection.h"
#include "db/postgres_connection.h"
#include "picklists/list_folder.h"
#include "picklists/server_lists.h"

namespace lumaref {

std::unique_ptr<PickLists> pickListsFor(Connection& connection, std::string listFolder) {
    if (isPostgresConnectionString(connection.connectionString()))
        return std::make_unique<ServerLists>(connection);
    return std::make_unique<ListFolder>(std::move(listFolder));
}

}  // namespace lumaref
