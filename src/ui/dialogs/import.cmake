# The import/export dialog.
target_sources(zorvan_ui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/frmImport.cpp
)
