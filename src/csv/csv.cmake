# CSV format and the import/export engine, part of the Qt-free core.
target_sources(zorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/CsvDate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CsvEngine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CsvFormat.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordBatch.cpp
)
