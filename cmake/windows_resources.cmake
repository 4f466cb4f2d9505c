# Win32 resources for the Windows build, compiled with windres from the same manifests the Linux
# build embeds: every entry becomes an RT_RCDATA resource under its id. The screen saver also
# gets its application icon (group 1001, built from the art generator's icon_N.png), its
# application manifest (assets/windows/gravefall.manifest: asInvoker without uiAccess, per-monitor
# DPI awareness, the UTF-8 code page, the version 6 common controls), its description string (id 1,
# the name the screen-saver list shows) and its version information.
include_guard(GLOBAL)
include(resources)

set(GRAVEFALL_WINDOWS_ASSETS ${CMAKE_SOURCE_DIR}/assets/windows)
set(GRAVEFALL_ICON_SIZES 16 24 32 48 64 128 256 512)

# windres reads the .rc as C-like text: quotes and backslashes in a path must be escaped.
function(_gravefall_rc_path out path)
  string(REPLACE "\\" "\\\\" path "${path}")
  string(REPLACE "\"" "\\\"" path "${path}")
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

# The .ico for icon group 1001: the small sizes as 32-bit bitmaps, 256 and 512 as PNG (the form
# the ICO format allows for sizes past 255). Made once per build tree.
function(_gravefall_application_icon out)
  set(ico ${CMAKE_BINARY_DIR}/windows/gravefall.ico)
  if(NOT TARGET gravefall_application_icon)
    find_program(GRAVEFALL_ICOTOOL icotool REQUIRED)
    set(arguments)
    set(pngs)
    foreach(size IN LISTS GRAVEFALL_ICON_SIZES)
      set(png ${GRAVEFALL_ART_DIR}/icon_${size}.png)
      list(APPEND pngs ${png})
      if(size GREATER_EQUAL 256)
        list(APPEND arguments --raw=${png})
      else()
        list(APPEND arguments ${png})
      endif()
    endforeach()
    add_custom_command(
      OUTPUT ${ico}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/windows
      COMMAND ${GRAVEFALL_ICOTOOL} --create --output=${ico} ${arguments}
      DEPENDS ${pngs} gravefall_art
      COMMENT "Building the application icon"
      VERBATIM)
    add_custom_target(gravefall_application_icon DEPENDS ${ico})
  endif()
  set(${out} ${ico} PARENT_SCOPE)
endfunction()

# The VERSIONINFO block (Explorer's Details tab): the project's version, the copyright line of
# LICENSE. Language US English, Unicode strings (0x0409, code page 1200).
function(_gravefall_version_resource out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
  file(STRINGS ${CMAKE_SOURCE_DIR}/LICENSE copyright REGEX "^Copyright " LIMIT_COUNT 1)
  string(REPLACE "\"" "\"\"" copyright "${copyright}")  # a quote inside an .rc string is doubled
  set(numbers ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0)
  set(${out} "1 VERSIONINFO
FILEVERSION ${numbers}
PRODUCTVERSION ${numbers}
FILEFLAGSMASK 0x3F
FILEFLAGS 0x0
FILEOS 0x40004
FILETYPE 0x1
FILESUBTYPE 0x0
BEGIN
  BLOCK \"StringFileInfo\"
  BEGIN
    BLOCK \"040904B0\"
    BEGIN
      VALUE \"CompanyName\", \"Gravefall developers\"
      VALUE \"FileDescription\", \"Gravefall screen saver\"
      VALUE \"FileVersion\", \"${PROJECT_VERSION}\"
      VALUE \"InternalName\", \"gravefall\"
      VALUE \"LegalCopyright\", \"${copyright}\"
      VALUE \"OriginalFilename\", \"gravefall.scr\"
      VALUE \"ProductName\", \"Gravefall\"
      VALUE \"ProductVersion\", \"${PROJECT_VERSION}\"
    END
  END
  BLOCK \"VarFileInfo\"
  BEGIN
    VALUE \"Translation\", 0x409, 1200
  END
END
" PARENT_SCOPE)
endfunction()

# gravefall_add_windows_resources(TARGET MANIFESTS file... [APPLICATION] [GENERATED_DIR dir]
#                                 [DEPENDS target...])
#
# Compiles the manifests' files into TARGET as RT_RCDATA resources. APPLICATION adds the icon
# group, the application manifest, the description string and the version information.
function(gravefall_add_windows_resources target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "APPLICATION" "GENERATED_DIR" "MANIFESTS;DEPENDS")
  set(lines "// Generated for ${target} from: ${arg_MANIFESTS}\n")
  gravefall_read_manifests(all_ids all_paths GENERATED_DIR "${arg_GENERATED_DIR}" MANIFESTS ${arg_MANIFESTS})
  foreach(id path IN ZIP_LISTS all_ids all_paths)
    _gravefall_rc_path(quoted "${path}")
    string(APPEND lines "${id} RCDATA ${quoted}\n")  # RT_RCDATA, numeric type 10
  endforeach()

  set(depends ${all_paths})
  if(arg_APPLICATION)
    _gravefall_application_icon(ico)
    _gravefall_rc_path(quoted "${ico}")
    string(APPEND lines "1001 ICON ${quoted}\n")
    list(APPEND depends ${ico})
    add_dependencies(${target} gravefall_application_icon)
    set(manifest ${GRAVEFALL_WINDOWS_ASSETS}/gravefall.manifest)
    _gravefall_rc_path(quoted "${manifest}")
    string(APPEND lines "1 24 ${quoted}\n")  # CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST
    list(APPEND depends ${manifest})
    string(APPEND lines "STRINGTABLE\nBEGIN\n  1 \"Gravefall\"\nEND\n")
    _gravefall_version_resource(version_resource)
    string(APPEND lines "${version_resource}")
  endif()

  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.rc)
  file(WRITE ${rc}.in "${lines}")
  # Rewritten only when the list changes, so a re-configure does not force a rebuild.
  configure_file(${rc}.in ${rc} COPYONLY)
  target_sources(${target} PRIVATE ${rc})
  # The target may live in another directory, whose scope holds its sources' properties.
  set_source_files_properties(${rc} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS "${depends}")
  add_dependencies(${target} gravefall_art)
  if(arg_DEPENDS)
    add_dependencies(${target} ${arg_DEPENDS})
  endif()
endfunction()
