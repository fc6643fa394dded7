# One library per source folder, stacked in layers: common < ui, keys, settings < hotkeyctl, tray
# < editor < app. Sources include headers as "<folder>/<name>.h". Each library's include root in
# the build tree holds nothing but a link to its own folder, so a library sees only its own headers
# and those of the libraries it links; an include that runs upward does not compile.
#
#   hkv_library(<folder> [PORTABLE files...] [WINDOWS files...] [DEPS folders...])
#
# PORTABLE sources need no Windows API and are built on the host too (with their tests under the
# sanitizers); WINDOWS sources only in the Windows build.
function(hkv_library folder)
  cmake_parse_arguments(ARG "" "" "PORTABLE;WINDOWS;DEPS" ${ARGN})
  set(target hkv_${folder})
  set(sources ${ARG_PORTABLE})
  if(WIN32)
    list(APPEND sources ${ARG_WINDOWS})
  endif()
  list(TRANSFORM ARG_DEPS PREPEND hkv_ OUTPUT_VARIABLE deps)

  set(root "${PROJECT_BINARY_DIR}/include/${folder}")
  if(NOT EXISTS "${root}/${folder}")
    file(MAKE_DIRECTORY "${root}")
    file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${root}/${folder}" RESULT linked SYMBOLIC)
    if(NOT linked EQUAL 0)
      # Windows without the right to make links: the build works, the layers go unchecked.
      message(STATUS "hkv_library(${folder}): no link (${linked}); layers are not enforced")
      set(root "${PROJECT_SOURCE_DIR}/src")
    endif()
  endif()

  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${root}")
    target_link_libraries(${target} PUBLIC hkv_options PRIVATE ${deps})
    hkv_use_library_pch(${target})
  else()
    # Headers only in this build (the host build of a Windows-only layer).
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE "${root}")
    target_link_libraries(${target} INTERFACE hkv_options ${deps})
  endif()
endfunction()

# The Windows headers, precompiled once in the lowest library and reused by the others: every
# library compiles with the same options (hkv_options), which a shared precompiled header requires.
function(hkv_use_library_pch target)
  if(NOT HKV_PRECOMPILED_HEADERS)
    return()
  endif()
  if(target STREQUAL "hkv_common")
    target_precompile_headers(hkv_common PRIVATE
                              "$<$<COMPILE_LANGUAGE:CXX>:${PROJECT_SOURCE_DIR}/cmake/pch/windows_headers.h>")
  else()
    target_precompile_headers(${target} REUSE_FROM hkv_common)
  endif()
endfunction()
