# One switch for the warning set, applied per target so third-party code is left alone.
function(lumora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual)
  if(LUMORA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Reads optional CMake fragments named in the list; each one appends to the variables
# its folder's CMakeLists uses. Lets several facilities share one library target.
macro(lumora_include_fragments)
  foreach(_frag ${ARGN})
    include(${CMAKE_CURRENT_SOURCE_DIR}/${_frag}.cmake OPTIONAL)
  endforeach()
endmacro()
