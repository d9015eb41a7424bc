#include "settings/store_choice.h"

#include <gtest/gtest.h>

#include "db/connection_string.h"
#include "settings/program_options.h"
#include "support/error_text.h"

namespace lumaref {
namespace {

using test::errorOf;

TEST(StoreChoice, TheCommandLineOverTheSettingsOverDatabaseMdb) {
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::optional<std::string> setting;
        std::string connection;
    } cases[] = {
        {"neither", {}, std::nullopt, kDefaultConnectionString},
        {"settings", {}, "postgresql://db.example/journals", "postgresql://db.example/journals"},
        {"option over settings",
         {"--database", "host=db dbname=j"},
         "postgresql://other/x",
         "host=db dbname=j"},
        {"option with =", {"--database=service=lumaref"}, std::nullopt, "service=lumaref"},
        {"older URI scheme", {"--database", "postgres://u@h/j"}, std::nullopt, "postgres://u@h/j"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings;
        settings.database = c.setting;
        EXPECT_EQ(chooseStore(parseProgramArguments(c.arguments).database, settings).connectionString,
                  c.connection);
    }
}

TEST(StoreChoice, ADatabaseThatIsNoServerOrCarriesAPasswordIsRefused) {
    const std::string passwordError =
        "The database connection names a password. Lumaref does not take passwords from its settings or "
        "command "
        "line: put it in ~/.pgpass, PGPASSWORD or a PostgreSQL service file.";
    const struct {
        const char* database;
        std::string error;
    } cases[] = {
        {"Database.mdb",
         "The database 'Database.mdb' is not a PostgreSQL connection: give a postgresql:// URI or libpq "
         "key=value "
         "pairs."},
        {"Data Source=x.mdb;",
         "The database 'Data Source=x.mdb;' is not a PostgreSQL connection: give a postgresql:// URI or "
         "libpq "
         "key=value pairs."},
        {"postgresql://u:secret@h/j", passwordError},
        {"host=h password=secret", passwordError},
        {"postgresql://h/j?password=secret", passwordError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.database);
        Settings settings;
        settings.database = c.database;
        EXPECT_EQ(errorOf([&] { chooseStore(std::nullopt, settings); }), c.error);
    }
    EXPECT_EQ(errorOf([] { parseProgramArguments({"--database"}); }),
              "'--database' needs a PostgreSQL connection");
}

TEST(StoreChoice, ListsNamesTheListFolderWhateverItsName) {
    const struct {
        const char* lists;
        const char* folder;
    } cases[] = {
        {"/srv/share/lumaref/lists", "/srv/share/lumaref/lists/"},
        {"/srv/share/lumaref/lists/", "/srv/share/lumaref/lists/"},
        {"/srv/share/journal-lists", "/srv/share/journal-lists/"},
        {"/srv/share/./old/../Listen/", "/srv/share/Listen/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lists);
        Settings settings;
        settings.lists = c.lists;
        EXPECT_EQ(chooseStore(std::nullopt, settings).listFolder, c.folder);
    }
    EXPECT_EQ(chooseStore(std::nullopt, Settings{}).listFolder, std::nullopt);
}

}  // namespace
}  // namespace lumaref
