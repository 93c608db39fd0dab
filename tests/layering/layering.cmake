# Dependencies run one way: nothing below the shell (platform, surfaces, effects, presets,
# session) includes a header of the shell or of the dialogs; those tell the shell through the
# session's Shell_Link instead.
#   cmake -DSOURCE_DIR=<repo>/src -P layering.cmake         checks the sources
#   cmake -DPROBE_DIR=<scratch> -P layering.cmake           shows that the check catches one
cmake_minimum_required(VERSION 3.20)

# Files under `src` (a source tree) that include a shell or dialogs header, as "file:line".
function(find_upward_includes src out)
  file(GLOB_RECURSE files RELATIVE ${src} ${src}/*.h ${src}/*.cpp)
  set(found "")
  foreach(f ${files})
    if(f MATCHES "^(shell|dialogs)/" OR f STREQUAL "main.cpp")
      continue()
    endif()
    file(STRINGS ${src}/${f} lines)
    set(n 0)
    foreach(line IN LISTS lines)
      math(EXPR n "${n} + 1")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<](shell|dialogs)/")
        list(APPEND found "${f}:${n}")
      endif()
    endforeach()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

if(DEFINED PROBE_DIR)
  set(probe ${PROBE_DIR}/layering_probe)
  file(REMOVE_RECURSE ${probe})
  file(WRITE ${probe}/scope/scope.cpp "#include \"scope/scope.h\"\n\n#include \"shell/file_dialog.h\"\n")
  file(WRITE ${probe}/session/session.h "#pragma once\n#  include <dialogs/dialog_values.h>\n")
  file(WRITE ${probe}/text/title.cpp "// #include \"shell/frame.h\" is what this file must not do\n")
  file(WRITE ${probe}/shell/window_proc.cpp "#include \"dialogs/launchers.h\"\n#include \"shell/frame.h\"\n")
  file(WRITE ${probe}/main.cpp "#include \"shell/startup.h\"\n")
  find_upward_includes(${probe} found)
  file(REMOVE_RECURSE ${probe})
  set(expected "scope/scope.cpp:3;session/session.h:2")
  if(NOT found STREQUAL expected)
    message(FATAL_ERROR "The layering check found [${found}], expected [${expected}]")
  endif()
  return()
endif()

if(NOT DEFINED SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<src> -P layering.cmake")
endif()
find_upward_includes(${SOURCE_DIR} found)
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "These files below the shell include shell or dialogs headers:\n  ${text}\n"
                      "Tell the shell through the session's Shell_Link (session/shell_link.h) instead.")
endif()
