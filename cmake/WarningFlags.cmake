# The warnings every target compiles with, each checked against the compiler in use. A warning one
# compiler spells differently is listed with its alternatives: the first one the compiler knows wins.
include(CheckCXXCompilerFlag)

# vab_supported_warnings(<out-var> <flag-or-alternatives>...): alternatives are joined with "|".
function(vab_supported_warnings out)
  set(flags "")
  foreach(choice IN LISTS ARGN)
    string(REPLACE "|" ";" alternatives "${choice}")
    set(found "")
    foreach(flag IN LISTS alternatives)
      string(MAKE_C_IDENTIFIER "VAB_CXX_HAS${flag}" result)
      check_cxx_compiler_flag(${flag} ${result})
      if(${result})
        set(found ${flag})
        break()
      endif()
    endforeach()
    if(found)
      list(APPEND flags ${found})
    else()
      message(STATUS "The compiler knows none of ${choice}: compiling without it")
    endif()
  endforeach()
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

# Local variables shadowing locals: GCC's -Wshadow=local; clang's -Wshadow also flags fields and
# globals, so it gets the lambda-parameter part of the same check.
vab_supported_warnings(VAB_WARNING_FLAGS -Wall -Wextra -Wpedantic -Wold-style-cast
                       "-Wshadow=local|-Wshadow-uncaptured-local" -Wnon-virtual-dtor -Woverloaded-virtual)
