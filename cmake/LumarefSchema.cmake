# schema.sql compiled in as lumaref::kSchemaSql ("lumaref_schema.h"), one text for every program that
# creates a database, so a new database and the file can never differ. Its last part, the figures from
# several sources, is also lumaref::kRankingSchemaSql: what opening an older database adds to it.
set(LUMAREF_SCHEMA_FILE ${PROJECT_SOURCE_DIR}/schema.sql)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LUMAREF_SCHEMA_FILE})
file(READ ${LUMAREF_SCHEMA_FILE} LUMAREF_SCHEMA_SQL)
string(FIND "${LUMAREF_SCHEMA_SQL}" "-- Figures from several sources" LUMAREF_RANKING_SCHEMA_AT)
if(LUMAREF_RANKING_SCHEMA_AT LESS 0)
  message(FATAL_ERROR "schema.sql: the part '-- Figures from several sources' is missing")
endif()
string(SUBSTRING "${LUMAREF_SCHEMA_SQL}" ${LUMAREF_RANKING_SCHEMA_AT} -1 LUMAREF_RANKING_SCHEMA_SQL)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumaref_schema.h.in ${PROJECT_BINARY_DIR}/generated/lumaref_schema.h @ONLY)
add_library(lumaref_schema INTERFACE)
target_include_directories(lumaref_schema INTERFACE ${PROJECT_BINARY_DIR}/generated)
