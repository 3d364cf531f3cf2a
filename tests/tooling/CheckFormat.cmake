# Fails when a source file of the project is not formatted as .clang-format says.
#   cmake -DCLANG_FORMAT=<program> -DSOURCE_DIR=<repository> -P CheckFormat.cmake
file(GLOB_RECURSE sources ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/tools/*.cpp
     ${SOURCE_DIR}/tools/*.h ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/bench/*.cpp
     ${SOURCE_DIR}/fuzz/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${sources} RESULT_VARIABLE result
                ERROR_VARIABLE findings)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "not formatted (cmake --build <build> --target format fixes it):\n${findings}")
endif()
