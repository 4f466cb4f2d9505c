# The layers the build enforces. Every library belongs to one layer folder and sees, on its
# include path, only that folder and what the libraries it links (all below it) bring: each
# layer's include directory holds one link named after the layer, so `#include "render/..."`
# resolves only for targets that link a render library. An upward include fails to compile.
# Pure libraries (the core and each folder's *_logic) are recorded for the include check in
# tests/layers, which proves no GL, GLFW, GLib, X11 or Win32 header is reachable from them.
include_guard(GLOBAL)

set(GRAVEFALL_LAYER_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/layers)

# The include directory that exposes exactly one layer folder.
function(_gravefall_layer_include_dir layer out)
  set(dir ${GRAVEFALL_LAYER_INCLUDE_ROOT}/${layer})
  if(NOT EXISTS ${dir}/${layer})
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${layer} ${dir}/${layer} SYMBOLIC)
  endif()
  set(${out} ${dir} PARENT_SCOPE)
endfunction()

# gravefall_layer_library(NAME LAYER layer [PURE] SOURCES file... [LINKS target...])
#
# A static library of the layer folder, linking (publicly) the targets below it that it uses.
# PURE records its sources for the include check.
function(gravefall_layer_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "PURE" "LAYER" "SOURCES;LINKS")
  if(NOT arg_LAYER IN_LIST GRAVEFALL_LAYER_NAMES)
    message(FATAL_ERROR "${name}: '${arg_LAYER}' is not one of the layers (${GRAVEFALL_LAYER_NAMES})")
  endif()
  add_library(${name} STATIC ${arg_SOURCES})
  _gravefall_layer_include_dir(${arg_LAYER} include_dir)
  target_include_directories(${name} PUBLIC ${include_dir})
  if(arg_LINKS)
    target_link_libraries(${name} PUBLIC ${arg_LINKS})
  endif()
  if(arg_PURE)
    foreach(source IN LISTS arg_SOURCES)
      get_filename_component(source ${source} ABSOLUTE)
      set_property(GLOBAL APPEND PROPERTY GRAVEFALL_PURE_SOURCES ${source})
    endforeach()
  endif()
endfunction()

# Writes what the include check reads: the layer order and the pure libraries' sources.
function(gravefall_write_layer_record file)
  get_property(pure GLOBAL PROPERTY GRAVEFALL_PURE_SOURCES)
  list(JOIN GRAVEFALL_LAYERS "\n" layers)
  list(JOIN pure "\n" pure)
  file(WRITE ${file}.in "[layers]\n${layers}\n[pure]\n${pure}\n")
  configure_file(${file}.in ${file} COPYONLY)
endfunction()
