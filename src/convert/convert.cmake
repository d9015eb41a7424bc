# Access (Jet/ACE) to SQLite conversion: a library over libmdb, kept out of lumaref_core, and its tool.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBMDB REQUIRED IMPORTED_TARGET libmdb)
# Ranking tables from CSV files are read through libcsv.
find_path(LIBCSV_INCLUDE_DIR csv.h REQUIRED)
find_library(LIBCSV_LIBRARY NAMES csv REQUIRED)

file(GLOB LUMAREF_CONVERT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
list(REMOVE_ITEM LUMAREF_CONVERT_SOURCES ${CMAKE_CURRENT_LIST_DIR}/lumaref_convert_main.cpp)
add_library(lumaref_convert STATIC ${LUMAREF_CONVERT_SOURCES})
target_include_directories(lumaref_convert PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_include_directories(lumaref_convert PRIVATE ${LIBCSV_INCLUDE_DIR})
target_link_libraries(lumaref_convert PUBLIC lumaref_core SQLite::SQLite3
                                      PRIVATE PkgConfig::LIBMDB ${LIBCSV_LIBRARY} lumaref_schema)
lumaref_warnings(lumaref_convert)

add_executable(lumaref-convert ${CMAKE_CURRENT_LIST_DIR}/lumaref_convert_main.cpp)
target_link_libraries(lumaref-convert PRIVATE lumaref_convert)
lumaref_warnings(lumaref-convert)
