# Master password change, backups, restore and the commit journal behind them.
target_sources(zorvan_core_tests PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BackupFileTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BackupRestoreTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MasterPasswordChangeTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OleDateTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VaultJournalTest.cpp
)

# Real processes killed in the middle of a password change or a restore. It needs
# fork/exec and SIGKILL, so it runs on the POSIX builds only.
if(NOT WIN32)
    add_executable(zorvan_crash_child ${CMAKE_CURRENT_LIST_DIR}/crash/CrashChild.cpp)
    target_link_libraries(zorvan_crash_child PRIVATE zorvan_core)

    add_executable(zorvan_crash_tests
        ${CMAKE_CURRENT_LIST_DIR}/crash/CrashRecoveryTest.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/support/TempDir.cpp
        ${CMAKE_CURRENT_SOURCE_DIR}/support/Golden.cpp
    )
    target_include_directories(zorvan_crash_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_definitions(zorvan_crash_tests PRIVATE
        ZORVAN_TEST_DATA="${ZORVAN_TEST_DATA}"
        ZORVAN_CRASH_CHILD="$<TARGET_FILE:zorvan_crash_child>")
    target_link_libraries(zorvan_crash_tests PRIVATE zorvan_core GTest::gtest_main)
    add_dependencies(zorvan_crash_tests zorvan_crash_child)
    add_test(NAME zorvan_crash_tests COMMAND zorvan_crash_tests)
    set_tests_properties(zorvan_crash_tests PROPERTIES TIMEOUT 600)
endif()
