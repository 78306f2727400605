# The mingw cross-build takes the static Qt that scripts/build-mingw-qt.sh makes from
# Debian's qtbase source package; Debian's native Qt supplies the tools that run
# during the build (moc, rcc, uic). This does what Qt's own qt.toolchain.cmake does,
# so that the project keeps one toolchain file for the core and the windows alike.
if(NOT (MINGW AND CMAKE_CROSSCOMPILING))
    return()
endif()

# The script names its folder after the installed qt6-base-dev's version, so a
# Debian update of Qt builds a fresh copy.
set(_zorvan_qt_default "")
if(DEFINED ENV{ZORVAN_MINGW_QT})
    set(_zorvan_qt_default "$ENV{ZORVAN_MINGW_QT}")
else()
    execute_process(COMMAND dpkg-query -W -f=\${Version} qt6-base-dev
                    OUTPUT_VARIABLE _zorvan_qt_version ERROR_QUIET)
    if(_zorvan_qt_version)
        set(_zorvan_qt_default "/var/cache/zorvan-mingw/qt-${_zorvan_qt_version}")
    endif()
endif()
set(ZORVAN_MINGW_QT "${_zorvan_qt_default}" CACHE PATH
    "Static Qt cross-compiled for mingw (scripts/build-mingw-qt.sh)")
if(NOT EXISTS "${ZORVAN_MINGW_QT}/lib/cmake/Qt6/Qt6Config.cmake")
    message(FATAL_ERROR
        "No Qt for mingw in '${ZORVAN_MINGW_QT}'. Run scripts/build-mingw-qt.sh (it builds "
        "it from Debian's source package), set ZORVAN_MINGW_QT to the folder holding "
        "lib/cmake/Qt6, or configure with -DZORVAN_BUILD_UI=OFF for the core alone.")
endif()

# Debian's host tools live under the build machine's multiarch folder.
execute_process(COMMAND dpkg-architecture -qDEB_BUILD_MULTIARCH
                OUTPUT_VARIABLE _zorvan_multiarch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
set(QT_HOST_PATH "/usr" CACHE PATH "Where the Qt tools for the build machine are")
set(QT_HOST_PATH_CMAKE_DIR "/usr/lib/${_zorvan_multiarch}/cmake" CACHE PATH
    "The CMake packages of the Qt tools for the build machine")
list(PREPEND CMAKE_PREFIX_PATH "${ZORVAN_MINGW_QT}/lib/cmake")
list(PREPEND CMAKE_FIND_ROOT_PATH "${ZORVAN_MINGW_QT}")
