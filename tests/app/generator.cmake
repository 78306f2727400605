target_sources(zorvan_core_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PasswordGeneratorTest.cpp)
