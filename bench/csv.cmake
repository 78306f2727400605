# CSV import and export benchmarks.
add_executable(zorvan_csv_bench ${CMAKE_CURRENT_LIST_DIR}/CsvBench.cpp)
target_link_libraries(zorvan_csv_bench PRIVATE zorvan_core benchmark::benchmark)
