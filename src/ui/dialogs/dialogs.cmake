# The item dialog with its password generator page, the group dialog and the
# options dialog, with the widgets they share.
target_sources(zorvan_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/AsteriskStyle.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ItemSaver.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PassGenPage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PassLenBoxes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TextLimit.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UpDownBox.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmGroup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmItem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frmOption.cpp
)
