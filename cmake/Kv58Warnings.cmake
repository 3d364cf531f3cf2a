# kv58_set_warnings(<target>): the project's warning set, errors when KV58_WERROR is on.
function(kv58_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Woverloaded-virtual)
  if(KV58_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kv58_layer(<name> <dependencies...>): one library per source folder, built from all sources of
# the folder, so a new file needs no CMake edit. A folder without sources yet is an interface target.
function(kv58_layer name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(kv58_${name} STATIC ${sources})
    target_include_directories(kv58_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(kv58_${name} PUBLIC ${ARGN})
    kv58_set_warnings(kv58_${name})
  else()
    add_library(kv58_${name} INTERFACE)
    target_include_directories(kv58_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(kv58_${name} INTERFACE ${ARGN})
  endif()
endfunction()
