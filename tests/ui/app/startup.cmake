# The program's start, in this process and as real processes of the program.
zorvan_qt_test(StartupTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/StartupTest.cpp)
add_dependencies(StartupTest zorvan)
