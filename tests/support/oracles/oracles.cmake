# The plain algorithms the tests check the program's faster ones against; the benchmarks and the
# fuzz targets link them too, as peers and references. Included from each of those folders.
include_guard(GLOBAL)

add_library(lumaref_oracles STATIC ${CMAKE_CURRENT_LIST_DIR}/row_by_row_filter.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/quartile_walk_by_filters.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/plain_sort.cpp)
target_include_directories(lumaref_oracles PUBLIC ${CMAKE_CURRENT_LIST_DIR}/../..)
target_link_libraries(lumaref_oracles PUBLIC lumaref_core)
lumaref_warnings(lumaref_oracles)
