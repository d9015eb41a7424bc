# The Qt program: lumaref_app holds all of it but main(), so tests can build the window in-process.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

file(GLOB LUMAREF_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp
     ${CMAKE_CURRENT_SOURCE_DIR}/app/*.h)
list(FILTER LUMAREF_APP_SOURCES EXCLUDE REGEX "/app/main\\.cpp$")

add_library(lumaref_app STATIC ${LUMAREF_APP_SOURCES})
set_target_properties(lumaref_app PROPERTIES AUTOMOC ON)
target_include_directories(lumaref_app PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(lumaref_app PUBLIC Qt6::Widgets lumaref_core)
lumaref_warnings(lumaref_app)

add_executable(lumaref ${CMAKE_CURRENT_SOURCE_DIR}/app/main.cpp)
target_link_libraries(lumaref PRIVATE lumaref_app)
lumaref_warnings(lumaref)
target_compile_definitions(lumaref PRIVATE LUMAREF_VERSION="${PROJECT_VERSION}" LUMAREF_APP_ID="${LUMAREF_APP_ID}")
# The window's icon where no icon theme has it (the build tree, the portable layout).
qt_add_resources(lumaref lumaref_icon PREFIX /icons BASE ${PROJECT_SOURCE_DIR}/data/icons/256
                 FILES ${PROJECT_SOURCE_DIR}/data/icons/256/${LUMAREF_APP_ID}.png)
