# The `lint` target: clang-format (.clang-format) over every C and C++ source, and clang-tidy
# (.clang-tidy) over the program's own sources on this platform; any difference or warning fails.
find_program(CLANG_FORMAT NAMES clang-format-14 clang-format)
find_program(CLANG_TIDY NAMES clang-tidy-14 clang-tidy)
if(NOT CLANG_FORMAT OR NOT CLANG_TIDY)
    add_custom_target(lint
        COMMAND ${CMAKE_COMMAND} -E echo "lint needs clang-format and clang-tidy: install clang-format-14 clang-tidy-14"
        COMMAND ${CMAKE_COMMAND} -E false)
    return()
endif()

set(formatted)
foreach(dir console list menu tests fuzz bench web)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.hpp
         ${PROJECT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND formatted ${found})
endforeach()

set(tidied)
foreach(target console_core console_platform list menu listmenu)
    get_target_property(sources ${target} SOURCES)
    get_target_property(dir ${target} SOURCE_DIR)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(TRANSFORM sources PREPEND ${dir}/)
    list(APPEND tidied ${sources})
endforeach()

add_custom_target(lint
    COMMAND ${CLANG_FORMAT} --dry-run --Werror ${formatted}
    COMMAND ${CLANG_TIDY} -p ${PROJECT_BINARY_DIR} --quiet ${tidied}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "clang-format and clang-tidy"
    VERBATIM)
