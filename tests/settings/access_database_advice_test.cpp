#include "settings/access_database_advice.h"

#include <gtest/gtest.h>

#include <string>

#include "db/connection.h"

namespace lumaref {
namespace {

// The advice is two commands a POSIX shell runs as shown, whatever the path holds.
TEST(AccessDatabaseAdvice, MovesTheFileAsideAndConvertsItBack) {
    const std::string path = "/data/it's mine/Database.mdb";
    const std::string quotedPath = "'/data/it'\\''s mine/Database.mdb'";
    const std::string quotedAside = "'/data/it'\\''s mine/Database-access.mdb'";
    const std::string message = accessDatabaseAdvice(AccessDatabaseError(path));
    const std::string moveAside =
        "The file '" + path +
        "' is a Microsoft Access database. Lumaref reads SQLite 3 databases; bring it "
        "across with lumaref-convert:\n    mv -i " +
        quotedPath + " " + quotedAside + " && ";
    ASSERT_EQ(message.rfind(moveAside, 0), 0u) << message;
    // The converter beside the running program when it is there, else by name; then the two paths.
    const std::string convert = message.substr(moveAside.size());
    const std::string paths = " " + quotedAside + " " + quotedPath;
    EXPECT_TRUE(convert == "lumaref-convert" + paths ||
                convert == "'" + runningProgramFolder() + "/lumaref-convert'" + paths)
        << message;
}

}  // namespace
}  // namespace lumaref
