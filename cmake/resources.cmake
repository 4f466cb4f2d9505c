# The embedded resources: one manifest (id -> file) is the single source for every platform.
# gravefall_read_manifest(s) parse it; on Linux gravefall_embed_resources links the files into an
# object library as a sorted (id, pointer, size) table that render/resources_embedded.cpp
# searches. The Windows build compiles the same parsed list into RT_RCDATA resources.
include_guard(GLOBAL)

# gravefall_read_manifest(MANIFEST_FILE OUT_IDS OUT_PATHS [GENERATED_DIR dir])
#
# Each line is `ID PATH`; `#` starts a comment. PATH is relative to the source root, or begins
# with ${ART_DIR}/ (the art generator's output, GRAVEFALL_ART_DIR), ${GENERATED_DIR}/ (a
# directory the caller names) or is ${FONT} (GRAVEFALL_FONT). Returns the ids and absolute paths
# in manifest order. Art entries are left out while the art generator (target gravefall_art)
# does not exist, so the program sees them as missing resources rather than failing to build.
function(gravefall_read_manifest manifest out_ids out_paths)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "GENERATED_DIR" "")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
  file(STRINGS ${manifest} lines)
  set(ids)
  set(paths)
  set(skipped_art 0)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*$" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      continue()
    endif()
    if(NOT line MATCHES "^([0-9]+)[ \t]+([^ \t].*)$")
      message(FATAL_ERROR "${manifest}: cannot read the line '${line}' (expected: ID PATH)")
    endif()
    set(id ${CMAKE_MATCH_1})
    set(path ${CMAKE_MATCH_2})
    math(EXPR id "${id}")  # drops leading zeros
    if(id LESS 1 OR id GREATER 65535)
      message(FATAL_ERROR "${manifest}: resource id ${id} is outside 1..65535")
    endif()
    if(id IN_LIST ids)
      message(FATAL_ERROR "${manifest}: resource id ${id} appears twice")
    endif()

    if(path MATCHES "^\\$\\{ART_DIR\\}/(.+)$")
      if(NOT TARGET gravefall_art)
        math(EXPR skipped_art "${skipped_art} + 1")
        continue()
      endif()
      set(path "${GRAVEFALL_ART_DIR}/${CMAKE_MATCH_1}")
    elseif(path MATCHES "^\\$\\{GENERATED_DIR\\}/(.+)$")
      if(NOT arg_GENERATED_DIR)
        message(FATAL_ERROR "${manifest}: ${path} needs a GENERATED_DIR")
      endif()
      set(path "${arg_GENERATED_DIR}/${CMAKE_MATCH_1}")
    elseif(path STREQUAL "\${FONT}")
      set(path "${GRAVEFALL_FONT}")
    elseif(path MATCHES "\\$\\{")
      message(FATAL_ERROR "${manifest}: unknown variable in '${path}'")
    else()
      set(path "${CMAKE_SOURCE_DIR}/${path}")
    endif()
    list(APPEND ids ${id})
    list(APPEND paths "${path}")
  endforeach()
  if(skipped_art GREATER 0)
    message(STATUS "Resources: the art generator is absent; ${skipped_art} art resources are left out")
  endif()
  set(${out_ids} ${ids} PARENT_SCOPE)
  set(${out_paths} ${paths} PARENT_SCOPE)
endfunction()

# gravefall_read_manifests(OUT_IDS OUT_PATHS [GENERATED_DIR dir] MANIFESTS file...)
#
# The entries of several manifests together; an id may appear in only one of them.
function(gravefall_read_manifests out_ids out_paths)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "GENERATED_DIR" "MANIFESTS")
  set(all_ids)
  set(all_paths)
  foreach(manifest IN LISTS arg_MANIFESTS)
    gravefall_read_manifest(${manifest} ids paths GENERATED_DIR "${arg_GENERATED_DIR}")
    foreach(id path IN ZIP_LISTS ids paths)
      if(id IN_LIST all_ids)
        message(FATAL_ERROR "${manifest}: resource id ${id} is already used by another manifest")
      endif()
      list(APPEND all_ids ${id})
      list(APPEND all_paths "${path}")
    endforeach()
  endforeach()
  set(${out_ids} ${all_ids} PARENT_SCOPE)
  set(${out_paths} ${all_paths} PARENT_SCOPE)
endfunction()

# gravefall_embed_resources(NAME MANIFESTS file... [GENERATED_DIR dir] [DEPENDS target...])
#
# Creates the object library NAME holding every resource of the manifests, for linking straight
# into an executable (an archive would not be searched for the table: it is referenced weakly).
# The object is rebuilt whenever an embedded file changes.
function(gravefall_embed_resources name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "GENERATED_DIR" "MANIFESTS;DEPENDS")
  gravefall_read_manifests(all_ids all_paths GENERATED_DIR "${arg_GENERATED_DIR}" MANIFESTS ${arg_MANIFESTS})
  set(entries)
  foreach(id path IN ZIP_LISTS all_ids all_paths)
    if(path MATCHES "[\"\\\\\n]")
      message(FATAL_ERROR "cannot embed a path containing quotes or backslashes: ${path}")
    endif()
    # Zero-padded so that a string sort is a numeric sort.
    string(LENGTH "${id}" digits)
    math(EXPR padding "5 - ${digits}")
    string(REPEAT "0" ${padding} zeros)
    list(APPEND entries "${zeros}${id}|${path}")
  endforeach()
  list(SORT entries)

  # Top-level assembly in a C file: the blobs in .rodata, then the table (absolute pointers,
  # so it goes where the dynamic linker may relocate it).
  set(blobs "")
  set(table "")
  foreach(entry IN LISTS entries)
    string(REGEX MATCH "^([0-9]+)\\|(.*)$" unused "${entry}")
    math(EXPR id "${CMAKE_MATCH_1}")
    set(path "${CMAKE_MATCH_2}")
    string(APPEND blobs
      "    \".balign 16\\n\"\n"
      "    \"gravefall_resource_${id}:\\n\"\n"
      "    \".incbin \\\"${path}\\\"\\n\"\n"
      "    \"gravefall_resource_${id}_end:\\n\"\n")
    string(APPEND table
      "    \".long ${id}, 0\\n\"\n"
      "    \".quad gravefall_resource_${id}\\n\"\n"
      "    \".quad gravefall_resource_${id}_end - gravefall_resource_${id}\\n\"\n")
  endforeach()
  list(LENGTH entries count)

  set(source "${CMAKE_CURRENT_BINARY_DIR}/${name}.c")
  file(WRITE "${source}.in"
    "/* Generated by gravefall_embed_resources from: ${arg_MANIFESTS} */\n"
    "__asm__(\n"
    "    \".pushsection .rodata\\n\"\n"
    "${blobs}"
    "    \".popsection\\n\"\n"
    "    \".pushsection .data.rel.ro,\\\"aw\\\"\\n\"\n"
    "    \".balign 8\\n\"\n"
    "    \".globl gravefall_resource_table\\n\"\n"
    "    \"gravefall_resource_table:\\n\"\n"
    "${table}"
    "    \".globl gravefall_resource_count\\n\"\n"
    "    \"gravefall_resource_count:\\n\"\n"
    "    \".quad ${count}\\n\"\n"
    "    \".popsection\\n\");\n")
  # Rewritten only when the list changes, so a re-configure does not force a rebuild.
  configure_file("${source}.in" "${source}" COPYONLY)

  add_library(${name} OBJECT "${source}")
  set_source_files_properties("${source}" PROPERTIES OBJECT_DEPENDS "${all_paths}")
  if(arg_DEPENDS)
    add_dependencies(${name} ${arg_DEPENDS})
  endif()
  if(TARGET gravefall_art)
    add_dependencies(${name} gravefall_art)
  endif()
endfunction()
