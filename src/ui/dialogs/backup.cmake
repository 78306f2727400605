# The backup dialog and the master password change.
target_sources(zorvan_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/frmBackUp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../main/PasswordChange.cpp
)
