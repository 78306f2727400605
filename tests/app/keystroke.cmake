# Auto-type's keystroke texts: building, quoting and parsing.
target_sources(zorvan_core_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/KeystrokeTextTest.cpp)
