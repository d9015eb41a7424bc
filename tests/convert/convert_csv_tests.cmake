# Tests of the new-database and CSV ranking-table modes of lumaref-convert.
file(GLOB LUMAREF_CONVERT_CSV_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/csv_*_test.cpp
     ${CMAKE_CURRENT_LIST_DIR}/new_database_test.cpp)
add_executable(lumaref_convert_csv_tests ${LUMAREF_CONVERT_CSV_TEST_SOURCES})
target_link_libraries(lumaref_convert_csv_tests PRIVATE lumaref_convert lumaref_test_support GTest::gtest_main)
lumaref_warnings(lumaref_convert_csv_tests)
gtest_discover_tests(lumaref_convert_csv_tests DISCOVERY_TIMEOUT 120)
