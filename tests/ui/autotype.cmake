# Auto-type: the main window's commands over a recording injector, and the X11
# back end typing into a real window on an X server of the test's own.
zorvan_qt_test(AutoTypeTest SOURCES ${CMAKE_CURRENT_LIST_DIR}/main/AutoTypeTest.cpp)

if(ZORVAN_HAVE_XTEST)
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
    find_package(X11 REQUIRED)
    add_executable(AutoTypeTarget ${CMAKE_CURRENT_LIST_DIR}/autotype/AutoTypeTarget.cpp)
    target_link_libraries(AutoTypeTarget PRIVATE zorvan_options Qt6::Widgets)

    zorvan_qt_test(AutoTypeX11Test SOURCES ${CMAKE_CURRENT_LIST_DIR}/autotype/AutoTypeX11Test.cpp
                                   ${CMAKE_CURRENT_LIST_DIR}/autotype/KeyboardMapProbe.cpp)
    target_link_libraries(AutoTypeX11Test PRIVATE X11::X11)
    target_compile_definitions(AutoTypeX11Test
                               PRIVATE ZORVAN_AUTOTYPE_TARGET="$<TARGET_FILE:AutoTypeTarget>")
    add_dependencies(AutoTypeX11Test AutoTypeTarget)
endif()
