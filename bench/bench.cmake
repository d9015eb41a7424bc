# The benchmark suite: Lumaref beside its peers on generated data of 10k to 1M journals.
find_package(benchmark QUIET)
if(NOT benchmark_FOUND)
  message(WARNING "Google Benchmark not found (Debian: libbenchmark-dev): lumaref_bench is not built")
  return()
endif()

file(GLOB LUMAREF_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
add_executable(lumaref_bench ${LUMAREF_BENCH_SOURCES})
target_link_libraries(lumaref_bench PRIVATE lumaref_demo_data lumaref_core benchmark::benchmark)
# Generated data is kept here between runs (LUMAREF_BENCH_DATA overrides it).
target_compile_definitions(lumaref_bench PRIVATE LUMAREF_BENCH_DATA_DIR="${PROJECT_BINARY_DIR}/bench-data")
lumaref_warnings(lumaref_bench)
if(TARGET lumaref_convert)
  target_link_libraries(lumaref_bench PRIVATE lumaref_convert PkgConfig::LIBMDB)
  # The CSV load benchmark times lumaref-convert's loader.
  target_compile_definitions(lumaref_bench PRIVATE LUMAREF_CSV_LOAD_BENCH)
  target_compile_definitions(lumaref_bench PRIVATE LUMAREF_JET_TESTDATA="${PROJECT_SOURCE_DIR}/../shared/testdata/jet"
                                                   LUMAREF_JET_TESTDATA_FALLBACK="/work/shared/testdata/jet")
endif()
