# schema.sql compiled in as lumaref::kSchemaSql ("lumaref_schema.h"), one text for every program that
# creates a database, so a new database and the file can never differ.
set(LUMAREF_SCHEMA_FILE ${PROJECT_SOURCE_DIR}/schema.sql)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LUMAREF_SCHEMA_FILE})
file(READ ${LUMAREF_SCHEMA_FILE} LUMAREF_SCHEMA_SQL)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumaref_schema.h.in ${PROJECT_BINARY_DIR}/generated/lumaref_schema.h @ONLY)
add_library(lumaref_schema INTERFACE)
target_include_directories(lumaref_schema INTERFACE ${PROJECT_BINARY_DIR}/generated)
