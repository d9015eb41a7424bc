# Access (Jet/ACE) to SQLite conversion: a library over libmdb, kept out of lumaref_core, and its tool.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBMDB QUIET IMPORTED_TARGET GLOBAL libmdb)
endif()
if(NOT LIBMDB_FOUND)
  message(WARNING "libmdb not found (Debian: mdbtools-dev): lumaref-convert is not built")
  return()
endif()

file(GLOB LUMAREF_CONVERT_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
list(REMOVE_ITEM LUMAREF_CONVERT_SOURCES ${CMAKE_CURRENT_LIST_DIR}/lumaref_convert_main.cpp
     ${CMAKE_CURRENT_LIST_DIR}/new_database.cpp)  # in lumaref_core
add_library(lumaref_convert STATIC ${LUMAREF_CONVERT_SOURCES})
target_include_directories(lumaref_convert PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(lumaref_convert PUBLIC lumaref_core PRIVATE PkgConfig::LIBMDB lumaref_schema)
lumaref_warnings(lumaref_convert)

add_executable(lumaref-convert ${CMAKE_CURRENT_LIST_DIR}/lumaref_convert_main.cpp)
target_link_libraries(lumaref-convert PRIVATE lumaref_convert)
lumaref_warnings(lumaref-convert)
