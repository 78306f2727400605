# libsodium as the imported target Sodium::sodium: Debian's package natively (found
# through pkg-config); the mingw cross-build takes the static library that
# scripts/build-mingw-sodium.sh makes from Debian's source package.
if(TARGET Sodium::sodium)
    return()
endif()

if(MINGW AND CMAKE_CROSSCOMPILING)
    # The script names its folder after the installed libsodium-dev's version, so a
    # Debian update of the library builds a fresh copy.
    set(_zorvan_sodium_default "")
    if(DEFINED ENV{ZORVAN_MINGW_SODIUM})
        set(_zorvan_sodium_default "$ENV{ZORVAN_MINGW_SODIUM}")
    else()
        execute_process(COMMAND dpkg-query -W -f=\${Version} libsodium-dev
                        OUTPUT_VARIABLE _zorvan_sodium_version ERROR_QUIET)
        if(_zorvan_sodium_version)
            set(_zorvan_sodium_default "/var/cache/zorvan-mingw/sodium-${_zorvan_sodium_version}")
        endif()
    endif()
    set(ZORVAN_MINGW_SODIUM "${_zorvan_sodium_default}" CACHE PATH
        "libsodium cross-compiled for mingw (scripts/build-mingw-sodium.sh)")
    if(NOT EXISTS "${ZORVAN_MINGW_SODIUM}/lib/libsodium.a"
       OR NOT EXISTS "${ZORVAN_MINGW_SODIUM}/include/sodium.h")
        message(FATAL_ERROR
            "No libsodium for mingw in '${ZORVAN_MINGW_SODIUM}'. Run "
            "scripts/build-mingw-sodium.sh (it builds it from Debian's source package), "
            "or set ZORVAN_MINGW_SODIUM to the folder holding lib/libsodium.a.")
    endif()
    add_library(Sodium::sodium STATIC IMPORTED)
    set_target_properties(Sodium::sodium PROPERTIES
        IMPORTED_LOCATION "${ZORVAN_MINGW_SODIUM}/lib/libsodium.a"
        INTERFACE_INCLUDE_DIRECTORIES "${ZORVAN_MINGW_SODIUM}/include"
        # Without it sodium.h declares every function as imported from a DLL.
        INTERFACE_COMPILE_DEFINITIONS SODIUM_STATIC
        # randombytes calls RtlGenRandom (SystemFunction036) in advapi32.
        INTERFACE_LINK_LIBRARIES advapi32)
    return()
endif()

if(MSVC)
    # vcpkg's port ships a CMake package of its own.
    find_package(unofficial-sodium CONFIG REQUIRED)
    add_library(Sodium::sodium ALIAS unofficial-sodium::sodium)
    return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
add_library(Sodium::sodium ALIAS PkgConfig::SODIUM)
