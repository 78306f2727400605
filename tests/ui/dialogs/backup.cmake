# The backup dialog and the master password change.
zorvan_qt_test(frmBackUpTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/frmBackUpTest.cpp)
zorvan_qt_test(PasswordChangeTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/../main/PasswordChangeTest.cpp)
