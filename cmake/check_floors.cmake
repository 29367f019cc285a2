# Checks that no source of the product includes a header from a floor above its own: run as
#   cmake -DROOT=<source folder> -P cmake/check_floors.cmake
# and fails, naming every wrong include, when one does. The floors and what each may include:
cmake_minimum_required(VERSION 3.20)
set(allowed_platform platform)
set(allowed_core platform core)
set(allowed_applets platform core applets resources)
set(allowed_about platform core about resources)
set(allowed_options platform core applets options resources)
set(allowed_program platform core applets about options program resources)
# The program's entry on Windows is the one source above the Windows layer.
set(allowed_program/win32_main.cpp ${allowed_program} hosts_win32)
set(allowed_hosts_portable platform hosts_portable core)
set(allowed_hosts_win32 platform hosts_win32 core resources)
set(allowed_resources resources)

# The floor of a path: its first folder, or the first two below hosts/ ("hosts_win32").
function(floor_of path result)
  string(REGEX MATCH "^[A-Za-z0-9_]+(/[A-Za-z0-9_]+)?" prefix "${path}")
  if(prefix MATCHES "^hosts/(win32|portable)$")
    string(REPLACE "/" "_" floor "${prefix}")
  else()
    string(REGEX REPLACE "/.*" "" floor "${prefix}")
  endif()
  set(${result} ${floor} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ROOT}
  ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp ${ROOT}/hosts/*.h ${ROOT}/hosts/*.cpp
  ${ROOT}/core/*.h ${ROOT}/core/*.cpp
  ${ROOT}/applets/*.h ${ROOT}/applets/*.cpp ${ROOT}/about/*.h ${ROOT}/about/*.cpp
  ${ROOT}/options/*.h ${ROOT}/options/*.cpp ${ROOT}/program/*.h ${ROOT}/program/*.cpp
  ${ROOT}/resources/*.h)
set(wrong 0)
foreach(source ${sources})
  floor_of("${source}" floor)
  if(NOT DEFINED allowed_${floor})
    message(SEND_ERROR "${source}: lies in no known floor (${floor})")
    math(EXPR wrong "${wrong} + 1")
    continue()
  endif()
  set(allowed ${allowed_${floor}})
  if(DEFINED allowed_${source})
    set(allowed ${allowed_${source}})
  endif()
  file(STRINGS ${ROOT}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header
                         "${line}")
    if(header MATCHES "\\.\\.")
      message(SEND_ERROR "${source}: includes ${header}: name headers from the source folder")
      math(EXPR wrong "${wrong} + 1")
      continue()
    endif()
    if(NOT header MATCHES "/")
      continue()  # a system header, one beside the source, or a generated one (version.h)
    endif()
    floor_of("${header}" above)
    if(NOT DEFINED allowed_${above})
      continue()  # not one of the program's folders: a system or library header
    endif()
    if(NOT above IN_LIST allowed)
      message(SEND_ERROR "${source}: includes ${header}, from a floor (${above}) that "
                         "${floor} may not use")
      math(EXPR wrong "${wrong} + 1")
    endif()
  endforeach()
endforeach()
if(wrong GREATER 0)
  message(FATAL_ERROR "${wrong} include(s) across the floors")
endif()
