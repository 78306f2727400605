# Auto-type: the main window's "定型貼付" commands.
target_sources(zorvan_ui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/AutoType.cpp)
