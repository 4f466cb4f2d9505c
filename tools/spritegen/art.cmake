# Generated sprite art: sheets, particle glow and icons.
#
# include() this after setting:
#   GRAVEFALL_SYSTEM_PYTHON  Debian's python3 (needs python3-cairo, python3-numpy)
#   GRAVEFALL_ART_DIR        output folder in the build tree
# Provides:
#   target gravefall_art (ALL), GRAVEFALL_ART_FILES (full paths of every output)
#   CTest tests art.*
# Configuring fails when assets/resources.manifest's art lines disagree with the generator.

if(NOT GRAVEFALL_SYSTEM_PYTHON)
  message(FATAL_ERROR "art.cmake: set GRAVEFALL_SYSTEM_PYTHON before include()")
endif()
if(NOT GRAVEFALL_ART_DIR)
  message(FATAL_ERROR "art.cmake: set GRAVEFALL_ART_DIR before include()")
endif()

set(_spritegen_dir "${CMAKE_CURRENT_LIST_DIR}")
get_filename_component(_spritegen_parent "${_spritegen_dir}/.." ABSOLUTE)  # tools/: on PYTHONPATH
get_filename_component(_gravefall_src_root "${_spritegen_dir}/../.." ABSOLUTE)
set(_art_manifest "${_gravefall_src_root}/assets/resources.manifest")
file(GLOB_RECURSE _spritegen_sources CONFIGURE_DEPENDS "${_spritegen_dir}/*.py")
list(SORT _spritegen_sources)
set(_spritegen
  "${CMAKE_COMMAND}" -E env "PYTHONPATH=${_spritegen_parent}"
  "${GRAVEFALL_SYSTEM_PYTHON}" -B -m spritegen)

# The generator owns the list of outputs; re-ask it whenever its code changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_spritegen_sources} "${_art_manifest}")
execute_process(
  COMMAND ${_spritegen} --list
  OUTPUT_VARIABLE _art_names
  ERROR_VARIABLE _art_err
  RESULT_VARIABLE _art_rc
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT _art_rc EQUAL 0)
  message(FATAL_ERROR "art.cmake: '${GRAVEFALL_SYSTEM_PYTHON} -m spritegen --list' failed: ${_art_err}")
endif()
string(REPLACE "\n" ";" _art_names "${_art_names}")

# The program finds sheets by the manifest's ids and trusts its frame counts and
# sizes: a swapped heading or a stale size must stop the build here, not show up on screen.
execute_process(
  COMMAND ${_spritegen} --check-manifest "${_art_manifest}"
  OUTPUT_VARIABLE _manifest_out
  ERROR_VARIABLE _manifest_err
  RESULT_VARIABLE _manifest_rc)
if(NOT _manifest_rc EQUAL 0)
  message(FATAL_ERROR "art.cmake: the manifest's art lines disagree with the art generator:\n"
                      "${_manifest_out}${_manifest_err}")
endif()

set(GRAVEFALL_ART_FILES "")
foreach(_name IN LISTS _art_names)
  list(APPEND GRAVEFALL_ART_FILES "${GRAVEFALL_ART_DIR}/${_name}")
endforeach()

add_custom_command(
  OUTPUT ${GRAVEFALL_ART_FILES}
  COMMAND ${_spritegen} --out "${GRAVEFALL_ART_DIR}"
  DEPENDS ${_spritegen_sources}
  WORKING_DIRECTORY "${_gravefall_src_root}"
  COMMENT "Drawing sprite sheets, particle and icons"
  VERBATIM)
add_custom_target(gravefall_art ALL DEPENDS ${GRAVEFALL_ART_FILES})

# Tests read the build's art folder; art.build makes sure it is current when
# ctest runs on its own.
set(_art_test_dir "${_gravefall_src_root}/tests/art")
add_test(NAME art.build
  COMMAND "${CMAKE_COMMAND}" --build "${CMAKE_BINARY_DIR}" --target gravefall_art)
set_tests_properties(art.build PROPERTIES FIXTURES_SETUP gravefall_art_files)
foreach(_suite sheets images png determinism manifest)
  add_test(NAME art.${_suite}
    COMMAND "${GRAVEFALL_SYSTEM_PYTHON}" -B -m unittest -v test_${_suite}
    WORKING_DIRECTORY "${_art_test_dir}")
  set_tests_properties(art.${_suite} PROPERTIES
    ENVIRONMENT "GRAVEFALL_ART_DIR=${GRAVEFALL_ART_DIR};PYTHONDONTWRITEBYTECODE=1;PYTHONPATH=${_spritegen_parent}"
    FIXTURES_REQUIRED gravefall_art_files
    LABELS art)
endforeach()
