# Read by CPack when it packages a cross build: the Debian package depends on libc6 at the newest
# glibc symbol version the program uses, the bound dpkg-shlibdeps gives a native build.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
execute_process(COMMAND ${CPACK_LISTMENU_OBJDUMP} -T ${CPACK_LISTMENU_PROGRAM}
                OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "GLIBC_[0-9.]+" versions "${symbols}")
set(newest 0)
foreach(version ${versions})
    string(REPLACE "GLIBC_" "" version ${version})
    if(version VERSION_GREATER newest)
        set(newest ${version})
    endif()
endforeach()
if(newest VERSION_EQUAL 0)
    message(FATAL_ERROR "no glibc symbol versions in ${CPACK_LISTMENU_PROGRAM}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${newest})")
