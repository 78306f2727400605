# libsodium as the imported target Sodium::sodium: Debian's package natively (found
# through pkg-config); the mingw build looks in ZORVAN_MINGW_DEPS.
if(TARGET Sodium::sodium)
    return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
add_library(Sodium::sodium ALIAS PkgConfig::SODIUM)
