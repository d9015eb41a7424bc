# The window's tests: the real MainWindow driven offscreen through its controls and a scripted Prompts.
find_package(Qt6 REQUIRED COMPONENTS Test)

file(GLOB LUMAREF_APP_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/app/*.h)
add_executable(lumaref_app_tests ${LUMAREF_APP_TEST_SOURCES})
set_target_properties(lumaref_app_tests PROPERTIES AUTOMOC ON)
target_link_libraries(lumaref_app_tests PRIVATE lumaref_app lumaref_test_support Qt6::Test GTest::gtest)
lumaref_test_program(lumaref_app_tests <QApplication> <QComboBox> <QLabel> <QLineEdit> <QString> <QTableView> <QTest>)
# The live-refresh tests run lumaref-convert as the other program at work on the same database.
if(TARGET lumaref-convert)
  target_compile_definitions(lumaref_app_tests PRIVATE LUMAREF_CONVERT_EXE="$<TARGET_FILE:lumaref-convert>")
  add_dependencies(lumaref_app_tests lumaref-convert)
endif()
# The test that stops the throwaway server runs alone: every other server test would lose it too.
set(LUMAREF_SERVER_STOP_TEST PostgresConnectionTest.AnUpdateCutByAServerStopSaysHowFarItGotAndARerunFinishes)
gtest_discover_tests(lumaref_app_tests DISCOVERY_TIMEOUT 120 TEST_FILTER -${LUMAREF_SERVER_STOP_TEST}
                     PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
add_test(NAME ${LUMAREF_SERVER_STOP_TEST} COMMAND lumaref_app_tests --gtest_filter=${LUMAREF_SERVER_STOP_TEST})
set_tests_properties(${LUMAREF_SERVER_STOP_TEST} PROPERTIES RUN_SERIAL TRUE ENVIRONMENT QT_QPA_PLATFORM=offscreen
                     SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")

# The fit of every text again with a wider font (no condensed faces, as without fonts-dejavu-extra) and at
# larger scales: each run builds the window under its own font and scale.
set(LUMAREF_WIDER_FONT "FONTCONFIG_FILE=${CMAKE_CURRENT_SOURCE_DIR}/app/data/without-condensed-fonts.conf")
foreach(run "WiderFontAtScale1.25|QT_SCALE_FACTOR=1.25;${LUMAREF_WIDER_FONT}"
            "DesignFontAtScale1.5|QT_SCALE_FACTOR=1.5"
            "WiderFontAtScale2|QT_SCALE_FACTOR=2;${LUMAREF_WIDER_FONT}")
  string(REPLACE "|" ";" parts "${run}")
  list(POP_FRONT parts name)
  add_test(NAME WindowTest.EveryTextFitsItsControl/${name}
           COMMAND lumaref_app_tests --gtest_filter=WindowTest.EveryTextFitsItsControl)
  set_tests_properties(WindowTest.EveryTextFitsItsControl/${name} PROPERTIES
                       ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${parts}"
                       PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 1 test")
endforeach()
# The signal tests run the program itself.
target_compile_definitions(lumaref_app_tests PRIVATE LUMAREF_EXE="$<TARGET_FILE:lumaref>")
add_dependencies(lumaref_app_tests lumaref)
