# Password generation: the system's random source and the generator's rules.
if(WIN32)
    target_sources(zorvan_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../platform/RandomSourceWin32.cpp)
    target_link_libraries(zorvan_platform PUBLIC bcrypt)
else()
    target_sources(zorvan_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../platform/RandomSourcePosix.cpp)
endif()
target_sources(zorvan_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PasswordGenerator.cpp)
