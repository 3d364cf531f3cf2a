# kv58_set_warnings(<target>): the project's warning set, errors when KV58_WERROR is on.
function(kv58_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Woverloaded-virtual)
  if(KV58_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kv58_layer_root(<name>): an include root that holds only the folder src/<name>, so code includes
# "<name>/Header.h" and reaches no other layer's headers through it. The layers a library links
# bring their own roots; the include check among the tests holds each folder to the README's table.
function(kv58_layer_root name out)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
  if(NOT EXISTS ${root}/${name})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${name} ${root}/${name} RESULT linked SYMBOLIC)
    if(NOT linked EQUAL 0)
      # Without symbolic links (some Windows set-ups) the whole tree is the root; the include
      # check still enforces the layers.
      set(root ${PROJECT_SOURCE_DIR}/src)
    endif()
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# kv58_layer(<name> <dependencies...>): one library per source folder (sub-folders included), built
# from all its sources, so a new file needs no CMake edit. A folder without sources yet is an
# interface target.
function(kv58_layer name)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  kv58_layer_root(${name} root)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(kv58_${name} STATIC ${sources})
    target_include_directories(kv58_${name} PUBLIC ${root})
    target_link_libraries(kv58_${name} PUBLIC ${ARGN})
    kv58_set_warnings(kv58_${name})
  else()
    add_library(kv58_${name} INTERFACE)
    target_include_directories(kv58_${name} INTERFACE ${root})
    target_link_libraries(kv58_${name} INTERFACE ${ARGN})
  endif()
endfunction()
