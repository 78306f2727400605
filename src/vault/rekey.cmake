# Master password change, backup files and restore, with the commit journal that
# makes the password change and the restore atomic.
target_sources(zorvan_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/BackupFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BackupRestore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Crc32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DurableFiles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MasterPasswordChange.cpp
    ${CMAKE_CURRENT_LIST_DIR}/OleDate.cpp
    ${CMAKE_CURRENT_LIST_DIR}/VaultJournal.cpp
)
