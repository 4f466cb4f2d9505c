# The embedded resources: one manifest (id, name -> file) is the single catalogue for every
# platform. gravefall_read_manifest(s) parse it; gravefall_write_resource_ids makes the header of
# named ids code uses; on Linux gravefall_embed_resources links the files into an object library
# as a sorted (id, pointer, size) table that render/resources_linux.cpp searches. The Windows
# build compiles the same parsed list into RT_RCDATA resources.
include_guard(GLOBAL)

# gravefall_read_manifest(MANIFEST_FILE OUT_IDS OUT_PATHS [OUT_NAMES var] [OUT_ATTRIBUTES var]
#                         [GENERATED_DIR dir])
#
# Each line is `ID NAME PATH [key=value ...]`; `#` starts a comment. NAME is the resource's name
# in code (lower case words joined by underscores). PATH is relative to the source root, or
# begins with ${ART_DIR}/ (the art generator's output, GRAVEFALL_ART_DIR), ${GENERATED_DIR}/ (a
# directory the caller names) or is ${FONT} (GRAVEFALL_FONT). Returns the ids, absolute paths,
# names and attribute texts ("frames=25 size=5000x200", or "-" for none) in manifest order.
function(gravefall_read_manifest manifest out_ids out_paths)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "GENERATED_DIR;OUT_NAMES;OUT_ATTRIBUTES" "")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${manifest})
  file(STRINGS ${manifest} lines)
  set(ids)
  set(paths)
  set(names)
  set(attributes)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*$" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      continue()
    endif()
    if(NOT line MATCHES "^([0-9]+)[ \t]+([a-z][a-zA-Z0-9_]*)[ \t]+([^ \t]+)(.*)$")
      message(FATAL_ERROR "${manifest}: cannot read the line '${line}' (expected: ID NAME PATH [key=value ...])")
    endif()
    set(id ${CMAKE_MATCH_1})
    set(name ${CMAKE_MATCH_2})
    set(path ${CMAKE_MATCH_3})
    string(STRIP "${CMAKE_MATCH_4}" attribute_text)
    math(EXPR id "${id}")  # drops leading zeros
    if(id LESS 1 OR id GREATER 65535)
      message(FATAL_ERROR "${manifest}: resource id ${id} is outside 1..65535")
    endif()
    if(id IN_LIST ids)
      message(FATAL_ERROR "${manifest}: resource id ${id} appears twice")
    endif()
    if(name IN_LIST names)
      message(FATAL_ERROR "${manifest}: resource name ${name} appears twice")
    endif()

    if(path MATCHES "^\\$\\{ART_DIR\\}/(.+)$")
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
    if(attribute_text STREQUAL "")
      set(attribute_text "-")
    endif()
    list(APPEND ids ${id})
    list(APPEND paths "${path}")
    list(APPEND names ${name})
    list(APPEND attributes "${attribute_text}")
  endforeach()
  set(${out_ids} ${ids} PARENT_SCOPE)
  set(${out_paths} ${paths} PARENT_SCOPE)
  if(arg_OUT_NAMES)
    set(${arg_OUT_NAMES} ${names} PARENT_SCOPE)
  endif()
  if(arg_OUT_ATTRIBUTES)
    set(${arg_OUT_ATTRIBUTES} ${attributes} PARENT_SCOPE)
  endif()
endfunction()

# gravefall_write_resource_ids(MANIFEST HEADER NAMESPACE)
#
# The catalogue code uses: `NAMESPACE::UpperCamelName = id` for every entry, and for the sprite
# sheets (entries with frames= and size=) a table of their frame counts and sizes.
function(gravefall_write_resource_ids manifest header namespace)
  gravefall_read_manifest(${manifest} ids paths OUT_NAMES names OUT_ATTRIBUTES attributes GENERATED_DIR "-")
  set(constants "")
  set(sheets "")
  foreach(id name attribute_text IN ZIP_LISTS ids names attributes)
    string(REPLACE "_" ";" words "${name}")
    set(camel "")
    foreach(word IN LISTS words)
      string(SUBSTRING "${word}" 0 1 first)
      string(SUBSTRING "${word}" 1 -1 rest)
      string(TOUPPER "${first}" first)
      string(APPEND camel "${first}${rest}")
    endforeach()
    string(APPEND constants "inline constexpr std::uint32_t ${camel} = ${id};\n")
    if(attribute_text MATCHES "frames=([0-9]+)" )
      set(frames ${CMAKE_MATCH_1})
      if(NOT attribute_text MATCHES "size=([0-9]+)x([0-9]+)")
        message(FATAL_ERROR "${manifest}: sheet ${name} has frames= but no size=WxH")
      endif()
      string(APPEND sheets "    {${namespace}::${camel}, ${frames}, ${CMAKE_MATCH_1}, ${CMAKE_MATCH_2}},\n")
    endif()
  endforeach()
  # Built with string(APPEND): the C++ text holds semicolons, which a CMake list would split at.
  file(RELATIVE_PATH manifest_name ${CMAKE_SOURCE_DIR} ${manifest})
  set(text "")
  string(APPEND text "// Generated from ${manifest_name}: the names of the embedded resources. Do not edit.\n"
           "#pragma once\n\n#include <cstdint>\n\nnamespace ${namespace} {\n${constants}}  // namespace ${namespace}\n")
  if(NOT sheets STREQUAL "")
    string(APPEND text "\n// Every sprite sheet with its frame count and pixel size, as the art generator draws them.\n"
         "struct SheetFacts {\n    std::uint32_t id;\n    std::uint32_t frames;\n    std::uint32_t width;\n    std::uint32_t height;\n};\n"
         "inline constexpr SheetFacts SpriteSheets[] = {\n${sheets}};\n\n"
         "// The frame count of sheet `id`; 0 for a resource that is not a sheet.\n"
         "constexpr std::uint32_t SheetFrameCount(std::uint32_t id) {\n"
         "    for (const SheetFacts& sheet : SpriteSheets)\n        if (sheet.id == id) return sheet.frames;\n    return 0;\n}\n")
  endif()
  file(WRITE "${header}.in" "${text}")
  configure_file("${header}.in" "${header}" COPYONLY)
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
  add_dependencies(${name} gravefall_art)
endfunction()
