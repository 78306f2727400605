# CSV format, record batch and import/export engine tests.
target_sources(zorvan_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CsvEngineTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CsvFormatTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordBatchTest.cpp
)
