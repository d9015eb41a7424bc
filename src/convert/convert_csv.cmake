# New databases and ranking tables from CSV files, for lumaref-convert. No Qt, no libmdb.
find_path(LIBCSV_INCLUDE_DIR csv.h REQUIRED)
find_library(LIBCSV_LIBRARY NAMES csv REQUIRED)

add_library(lumaref_convert_csv STATIC
  ${CMAKE_CURRENT_LIST_DIR}/csv_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/csv_header.cpp
  ${CMAKE_CURRENT_LIST_DIR}/csv_table_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/csv_command.cpp
  ${CMAKE_CURRENT_LIST_DIR}/new_database.cpp)
target_include_directories(lumaref_convert_csv PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} PRIVATE ${LIBCSV_INCLUDE_DIR})
target_link_libraries(lumaref_convert_csv PUBLIC lumaref_core PRIVATE lumaref_schema ${LIBCSV_LIBRARY})
lumaref_warnings(lumaref_convert_csv)

add_executable(lumaref-convert-csv ${CMAKE_CURRENT_LIST_DIR}/lumaref_convert_csv_main.cpp)
target_link_libraries(lumaref-convert-csv PRIVATE lumaref_convert_csv)
lumaref_warnings(lumaref-convert-csv)
