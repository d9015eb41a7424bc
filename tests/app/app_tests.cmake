# The window's tests: the real MainWindow driven offscreen through its controls and a scripted Prompts.
find_package(Qt6 REQUIRED COMPONENTS Test)

file(GLOB LUMAREF_APP_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/app/*.h)
add_executable(lumaref_app_tests ${LUMAREF_APP_TEST_SOURCES})
set_target_properties(lumaref_app_tests PROPERTIES AUTOMOC ON)
target_link_libraries(lumaref_app_tests PRIVATE lumaref_app lumaref_test_support Qt6::Test GTest::gtest)
lumaref_test_program(lumaref_app_tests <QApplication> <QComboBox> <QLabel> <QLineEdit> <QString> <QTableView> <QTest>)
gtest_discover_tests(lumaref_app_tests DISCOVERY_TIMEOUT 120 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
# The signal tests run the program itself.
target_compile_definitions(lumaref_app_tests PRIVATE LUMAREF_EXE="$<TARGET_FILE:lumaref>")
add_dependencies(lumaref_app_tests lumaref)
