# The converter's tests read the Access test files through libmdb themselves, to compare with its output.
file(GLOB LUMAREF_CONVERT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(lumaref_convert_tests ${LUMAREF_CONVERT_TEST_SOURCES})
target_link_libraries(lumaref_convert_tests PRIVATE lumaref_convert lumaref_test_support PkgConfig::LIBMDB
                                                    GTest::gtest)
target_compile_definitions(lumaref_convert_tests PRIVATE LUMAREF_CONVERT_EXE="$<TARGET_FILE:lumaref-convert>")
add_dependencies(lumaref_convert_tests lumaref-convert)
lumaref_test_program(lumaref_convert_tests)
gtest_discover_tests(lumaref_convert_tests DISCOVERY_TIMEOUT 120)
