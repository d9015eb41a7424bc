# The demo-data generator: a library (also used by the tests and benchmarks) and its command.

add_library(lumaref_demo_data STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/demo_data.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo_database.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo_journal.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo_master_list.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo_ranking_files.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/demo_vocabulary.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/issn.cpp)
target_include_directories(lumaref_demo_data PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# schema.sql is compiled in, so the generator runs without the source tree.
target_link_libraries(lumaref_demo_data PUBLIC lumaref_core PRIVATE lumaref_schema)
lumaref_warnings(lumaref_demo_data)

add_executable(lumaref-demo ${CMAKE_CURRENT_SOURCE_DIR}/lumaref_demo_main.cpp)
target_link_libraries(lumaref-demo PRIVATE lumaref_demo_data)
lumaref_warnings(lumaref-demo)
