# Item, group and options dialog tests.
zorvan_qt_test(frmItemTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmItemTest.cpp)
zorvan_qt_test(frmGroupTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmGroupTest.cpp)
zorvan_qt_test(frmOptionTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmOptionTest.cpp)
