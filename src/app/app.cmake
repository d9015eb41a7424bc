# The Qt program: lumaref_app holds all of it but main(), so tests can build the window in-process.
set_target_properties(lumaref_app PROPERTIES AUTOMOC ON)
target_precompile_headers(lumaref_app PRIVATE <QComboBox> <QLabel> <QLineEdit> <QString> <QTableView> <QWidget> <string>
                          <vector>)
target_link_libraries(lumaref_app PUBLIC Qt6::Widgets Qt6::Charts)

add_executable(lumaref ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(lumaref PRIVATE lumaref_app)
lumaref_warnings(lumaref)
target_compile_definitions(lumaref PRIVATE LUMAREF_VERSION="${PROJECT_VERSION}" LUMAREF_APP_ID="${LUMAREF_APP_ID}")
# The window's icon where no icon theme has it (the build tree, the portable layout).
qt_add_resources(lumaref lumaref_icon PREFIX /icons BASE ${PROJECT_SOURCE_DIR}/data/icons/256
                 FILES ${PROJECT_SOURCE_DIR}/data/icons/256/${LUMAREF_APP_ID}.png)
