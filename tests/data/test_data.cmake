# The folder of the files the tests and the benchmarks read (jet/: real Access databases).
include_guard(GLOBAL)
set(LUMAREF_TESTDATA_DIR "${PROJECT_SOURCE_DIR}/tests/data" CACHE PATH "Folder of the test data files")
