# Fails when a tracked C++ source differs from what clang-format makes of it.
file(GLOB_RECURSE files
    ${ROOT}/base/*.cpp ${ROOT}/base/*.h ${ROOT}/catalog/*.cpp ${ROOT}/catalog/*.h ${ROOT}/tags/*.cpp ${ROOT}/tags/*.h
    ${ROOT}/playback/*.cpp ${ROOT}/playback/*.h ${ROOT}/net/*.cpp ${ROOT}/net/*.h
    ${ROOT}/app/*.cpp ${ROOT}/app/*.h ${ROOT}/cli/*.cpp ${ROOT}/cli/*.h
    ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h ${ROOT}/bench/*.cpp ${ROOT}/fuzz/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Sources are not formatted: run 'make format'.")
endif()
