# Build helpers shared by every folder: one way to make a library, a program or a test executable.

get_filename_component(VORLANE_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

# Warnings, sanitizers and visibility for one target.
function(vorlane_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow)
    if(VORLANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    set_target_properties(${target} PROPERTIES
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS_FOR_SIGNALS QT_USE_QSTRINGBUILDER
        __STDC_CONSTANT_MACROS)
endfunction()

if(VORLANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Fuzzing build (clang): every library carries libFuzzer's coverage hooks and the sanitizers;
# only the targets in fuzz/ link libFuzzer's main (-fsanitize=fuzzer).
if(VORLANE_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# vorlane_add_library(<name> ALIAS <Ns::Name> DIR <folder> [PUBLIC_LINK ...] [PRIVATE_LINK ...] [PCH ...])
# Sources are every .cpp/.h under DIR (re-globbed when files appear); the folder's parent is the
# public include root, so users write #include "base/FileList.h". Every library waits for the
# layer check (check_layers), so a crossing include stops the build before anything compiles.
function(vorlane_add_library name)
    cmake_parse_arguments(ARG "" "ALIAS;DIR" "PUBLIC_LINK;PRIVATE_LINK;PCH;EXCLUDE" ${ARGN})
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp ${ARG_DIR}/*.h)
    foreach(ex ${ARG_EXCLUDE})
        list(FILTER srcs EXCLUDE REGEX "${ex}")
    endforeach()
    list(FILTER srcs INCLUDE REGEX "\\.cpp$")
    if(NOT srcs)
        # A folder whose first sources have not landed yet still takes part in the link graph.
        add_library(${name} INTERFACE)
        add_library(${ARG_ALIAS} ALIAS ${name})
        target_include_directories(${name} INTERFACE ${VORLANE_SOURCE_ROOT})
        target_link_libraries(${name} INTERFACE ${ARG_PUBLIC_LINK})
        return()
    endif()
    file(GLOB_RECURSE hdrs CONFIGURE_DEPENDS ${ARG_DIR}/*.h)
    foreach(ex ${ARG_EXCLUDE})
        list(FILTER hdrs EXCLUDE REGEX "${ex}")
    endforeach()
    add_library(${name} STATIC ${srcs} ${hdrs})
    add_library(${ARG_ALIAS} ALIAS ${name})
    target_include_directories(${name} PUBLIC ${VORLANE_SOURCE_ROOT})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LINK} PRIVATE ${ARG_PRIVATE_LINK})
    if(ARG_PCH)
        target_precompile_headers(${name} PRIVATE ${ARG_PCH})
    endif()
    vorlane_target_defaults(${name})
    if(TARGET check_layers)
        add_dependencies(${name} check_layers)
    endif()
endfunction()

# vorlane_add_program(<name> SOURCES ... LINK ...)
function(vorlane_add_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LINK})
    vorlane_target_defaults(${name})
endfunction()

# vorlane_add_tests(<name> DIR <folder> LINK ... [GUI])
# One GoogleTest executable per library; every test is registered with CTest.
function(vorlane_add_tests name)
    cmake_parse_arguments(ARG "GUI" "DIR" "LINK" ${ARGN})
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp ${ARG_DIR}/*.h)
    set(cpps ${srcs})
    list(FILTER cpps INCLUDE REGEX "\\.cpp$")
    if(NOT cpps)
        return()
    endif()
    add_executable(${name} ${srcs})
    target_link_libraries(${name} PRIVATE ${ARG_LINK} Vorlane::TestSupport GTest::gtest GTest::gmock)
    if(ARG_GUI)
        target_link_libraries(${name} PRIVATE Vorlane::TestMainGui)
    else()
        target_link_libraries(${name} PRIVATE Vorlane::TestMain)
    endif()
    vorlane_target_defaults(${name})
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        NO_PRETTY_VALUES
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
