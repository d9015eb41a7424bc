# lumaref-convert: the Access (Jet/ACE) conversion over libmdb and the loads, around the folder's library.
target_link_libraries(lumaref_convert PRIVATE PkgConfig::LIBMDB lumaref_schema)

add_executable(lumaref-convert ${CMAKE_CURRENT_LIST_DIR}/lumaref_convert_main.cpp)
target_link_libraries(lumaref-convert PRIVATE lumaref_convert)
lumaref_warnings(lumaref-convert)
