# The benchmark suite: Lumaref beside its peers on generated data of 10k to 1M journals.
find_package(benchmark QUIET)
if(NOT benchmark_FOUND)
  message(WARNING "Google Benchmark not found (Debian: libbenchmark-dev): lumaref_bench is not built")
  return()
endif()

file(GLOB LUMAREF_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
add_executable(lumaref_bench ${LUMAREF_BENCH_SOURCES})
# The plain algorithms are peers here and references in the tests: one copy for both.
include(${PROJECT_SOURCE_DIR}/tests/support/oracles/oracles.cmake)
target_link_libraries(lumaref_bench PRIVATE lumaref_demo_data lumaref_core lumaref_oracles benchmark::benchmark
                                            PkgConfig::XLSXWRITER)
# Generated data is kept here between runs (LUMAREF_BENCH_DATA overrides it).
target_compile_definitions(lumaref_bench PRIVATE LUMAREF_BENCH_DATA_DIR="${PROJECT_BINARY_DIR}/bench-data")
lumaref_warnings(lumaref_bench)
if(TARGET lumaref_convert)
  target_link_libraries(lumaref_bench PRIVATE lumaref_convert PkgConfig::LIBMDB)
  # The CSV load benchmark times lumaref-convert's loader.
  target_compile_definitions(lumaref_bench PRIVATE LUMAREF_CSV_LOAD_BENCH)
  # The conversion benchmark reads the Access file the tests read.
  include(${PROJECT_SOURCE_DIR}/tests/data/test_data.cmake)
  target_compile_definitions(lumaref_bench PRIVATE LUMAREF_TESTDATA_DIR="${LUMAREF_TESTDATA_DIR}")
endif()
