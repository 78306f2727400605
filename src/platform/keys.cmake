# Auto-type: keystroke texts in the core, typing them into other programs in the
# platform layer (SendInput on Windows, XTEST elsewhere).
target_sources(zorvan_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../app/KeystrokeText.cpp)
if(WIN32)
    target_sources(zorvan_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/KeyInjectorWin32.cpp)
else()
    target_sources(zorvan_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/KeyInjectorX11.cpp)
    find_package(X11 GLOBAL)
    if(X11_FOUND AND X11_Xtst_FOUND)
        target_compile_definitions(zorvan_platform PRIVATE ZORVAN_HAVE_XTEST)
        target_link_libraries(zorvan_platform PRIVATE X11::X11 X11::Xtst)
        set(ZORVAN_HAVE_XTEST ON CACHE INTERNAL "Auto-type types through X11 XTEST")
    else()
        # The program still builds; auto-type then tells the user it is unavailable.
        message(WARNING "Xlib or libXtst not found (Debian: libxtst-dev): auto-type disabled")
        set(ZORVAN_HAVE_XTEST OFF CACHE INTERNAL "Auto-type types through X11 XTEST")
    endif()
endif()
