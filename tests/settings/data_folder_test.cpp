#include "settings/data_folder.h"
#include "settings/user_guide.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "db/connection.h"
#include "db/connection_string.h"
#include "db/record_set.h"
#include "support/error_text.h"
#include "support/temp_dir.h"
#include "support/unprivileged_user.h"

namespace lumaref {
namespace {

namespace fs = std::filesystem;

// Sets (or, with nullptr, unsets) an environment variable and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DataFolderTest, TheCommandLineThenTheSettingsThenTheDataHome) {
    struct Row {
        const char* commandLine;  // nullptr: none of these
        const char* setting;
        const char* dataHome;
        const char* home;
        const char* folder;  // nullptr: an error
    };
    const Row rows[] = {
        {"/cli", "/conf", "/xdg", "/home/me", "/cli"},
        {nullptr, "/conf/", "/xdg", "/home/me", "/conf/"},
        {nullptr, nullptr, "/xdg", "/home/me", "/xdg/lumaref"},
        {nullptr, nullptr, "relative", "/home/me", "/home/me/.local/share/lumaref"},
        {nullptr, nullptr, nullptr, "/home/me", "/home/me/.local/share/lumaref"},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder != nullptr ? row.folder : "error");
        const ScopedVariable dataHome("XDG_DATA_HOME", row.dataHome);
        const ScopedVariable home("HOME", row.home);
        Settings settings;
        if (row.setting != nullptr) settings.data = row.setting;
        const auto commandLine =
            row.commandLine != nullptr ? std::optional<std::string>(row.commandLine) : std::nullopt;
        if (row.folder == nullptr) {
            EXPECT_NE(test::errorOf([&] {
                          chooseDataFolder(commandLine, settings);
                      }).find("neither HOME nor XDG_DATA_HOME"),
                      std::string::npos);
            continue;
        }
        EXPECT_EQ(chooseDataFolder(commandLine, settings), row.folder);
    }
    test::TempDir dir;
    const test::CurrentDir inside(dir.path());
    EXPECT_EQ(chooseDataFolder(std::string("mine/../data"), {}), fs::current_path().string() + "/data");
}

TEST(DataFolderTest, FirstStartMakesEverythingAndLaterStartsTouchNothing) {
    test::TempDir dir;
    const std::string folder = dir.file("new/lumaref");
    prepareDataFolder(folder);
    const DataLocation location = dataFolderLocation(folder);
    EXPECT_EQ(location.database, folder + "/Database.mdb");
    EXPECT_EQ(location.listFolder, folder + "/lists/");
    EXPECT_EQ(test::readFile(folder + "/lists/categories.txt"), "");
    EXPECT_EQ(test::readFile(folder + "/lists/ferequently.txt"), "");
    EXPECT_TRUE(fs::is_directory(folder + "/lists/subjects"));
    {
        Connection connection(connectionStringFor(location.database));
        RecordSet journals("ADOQuery1", connection, "journals");
        journals.open();
        EXPECT_EQ(journals.recordCount(), 0);
        journals.append();
        journals.setFieldAsString("Title", "Kept");
        journals.post();
    }
    test::writeFile(folder + "/lists/categories.txt", "Physics\r\n");
    prepareDataFolder(folder);
    EXPECT_EQ(test::readFile(folder + "/lists/categories.txt"), "Physics\r\n");
    Connection connection(connectionStringFor(location.database));
    RecordSet journals("ADOQuery1", connection, "journals");
    journals.open();
    EXPECT_EQ(journals.recordCount(), 1);
}

TEST(DataFolderTest, AFolderThatCannotBeMadeIsOneErrorNamingIt) {
    test::TempDir dir;
    test::writeFile(dir.file("file"), "x");
    EXPECT_EQ(test::errorOf([&] { prepareDataFolder(dir.file("file")); }),
              "Cannot create the data folder '" + dir.file("file") + "': Not a directory.");
    test::TempDir closed;
    fs::permissions(closed.path(), fs::perms::all & ~fs::perms::owner_write & ~fs::perms::group_write &
                                       ~fs::perms::others_write);
    EXPECT_EQ(
        test::errorOfUserWhoCannotWriteIn(closed.path(), [&] { prepareDataFolder(closed.file("data")); }),
        "Cannot create the data folder '" + closed.file("data") + "': Permission denied.");
    EXPECT_FALSE(fs::exists(closed.file("data")));
    EXPECT_EQ(test::errorOfUserWhoCannotWriteIn(closed.path(), [&] { prepareDataFolder(closed.path()); }),
              "Cannot use the data folder '" + closed.path() + "': Permission denied.");
}

TEST(DataFolderTest, PortableLayoutIsListsBesideTheProgram) {
    test::TempDir dir;
    EXPECT_FALSE(isPortableLayout(dir.path()));
    fs::create_directory(dir.file("lists"));
    EXPECT_TRUE(isPortableLayout(dir.path()));
    const DataLocation location = portableLocation(dir.path());
    EXPECT_EQ(location.database, "Database.mdb");
    EXPECT_EQ(location.listFolder, dir.path() + "/lists/");
}

TEST(DataFolderTest, TheConnectionStringCarriesAnyPath) {
    for (const std::string path : {"/a/Database.mdb", "/my \"odd\"; folder/Data'base.mdb"}) {
        EXPECT_EQ(parseConnectionString(connectionStringFor(path)).at("data source"), path);
    }
}

}  // namespace
}  // namespace lumaref

namespace lumaref {
namespace {

TEST(UserFilesTest, SettingsAndLayoutFollowTheConfigHomeAndOrdersTheCacheHome) {
    struct Row {
        const char* xdgHome;  // both XDG_CONFIG_HOME and XDG_CACHE_HOME
        const char* home;
        const char* folder;  // of both files; "" for none
        const char* orders;
    };
    const Row rows[] = {
        {"/xdg", "/home/me", "/xdg/lumaref/", "/xdg/lumaref/orders/"},
        {"relative", "/home/me", "/home/me/.config/lumaref/", "/home/me/.cache/lumaref/orders/"},
        {nullptr, "/home/me", "/home/me/.config/lumaref/", "/home/me/.cache/lumaref/orders/"},
        {nullptr, nullptr, "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.folder);
        const ScopedVariable configHome("XDG_CONFIG_HOME", row.xdgHome);
        const ScopedVariable cacheHome("XDG_CACHE_HOME", row.xdgHome);
        const ScopedVariable home("HOME", row.home);
        const std::string folder = row.folder;
        EXPECT_EQ(defaultSettingsFiles().user, folder.empty() ? "" : folder + "lumaref.conf");
        EXPECT_EQ(layoutFilePath(), folder.empty() ? "" : folder + "layout.conf");
        EXPECT_EQ(savedOrdersFolder(), row.orders);
    }
}

TEST(UserFilesTest, TheGuideIsFoundInstalledOrInTheSourceTree) {
    test::TempDir dir;
    test::writeFile(dir.file("usr/share/doc/lumaref/user-guide.md"), "# Guide\n");
    test::writeFile(dir.file("tree/docs/user-guide.md"), "# Guide\n");
    fs::create_directories(dir.file("usr/bin"));
    fs::create_directories(dir.file("tree/build/release/src"));
    fs::create_directories(dir.file("elsewhere/bin"));
    EXPECT_EQ(findUserGuide(dir.file("usr/bin/")), dir.file("usr/share/doc/lumaref/user-guide.md"));
    EXPECT_EQ(findUserGuide(dir.file("tree/build/release/src")), dir.file("tree/docs/user-guide.md"));
    EXPECT_EQ(findUserGuide(dir.file("elsewhere/bin")), std::nullopt);
}

}  // namespace
}  // namespace lumaref
