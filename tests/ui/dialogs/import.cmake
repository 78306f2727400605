# Import/export dialog tests.
zorvan_qt_test(frmImportTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmImportTest.cpp)
