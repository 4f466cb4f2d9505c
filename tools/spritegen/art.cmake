# Generated sprite art: sheets, particle glow and icons.
#
# include() this after setting:
#   GRAVEFALL_SYSTEM_PYTHON  Debian's python3 (needs python3-cairo, python3-numpy)
#   GRAVEFALL_ART_DIR        output folder in the build tree
# Provides:
#   target gravefall_art (ALL), GRAVEFALL_ART_FILES (full paths of every output)
#   CTest tests art.*

if(NOT GRAVEFALL_SYSTEM_PYTHON)
  message(FATAL_ERROR "art.cmake: set GRAVEFALL_SYSTEM_PYTHON before include()")
endif()
if(NOT GRAVEFALL_ART_DIR)
  message(FATAL_ERROR "art.cmake: set GRAVEFALL_ART_DIR before include()")
endif()

set(_spritegen_dir "${CMAKE_CURRENT_LIST_DIR}")
get_filename_component(_gravefall_src_root "${_spritegen_dir}/../.." ABSOLUTE)
file(GLOB _spritegen_sources CONFIGURE_DEPENDS "${_spritegen_dir}/*.py")
list(SORT _spritegen_sources)

# The generator owns the list of outputs; re-ask it whenever its code changes.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_spritegen_sources})
execute_process(
  COMMAND "${GRAVEFALL_SYSTEM_PYTHON}" -B "${_spritegen_dir}/generate.py" --list
  OUTPUT_VARIABLE _art_names
  ERROR_VARIABLE _art_err
  RESULT_VARIABLE _art_rc
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT _art_rc EQUAL 0)
  message(FATAL_ERROR "art.cmake: '${GRAVEFALL_SYSTEM_PYTHON} generate.py --list' failed: ${_art_err}")
endif()
string(REPLACE "\n" ";" _art_names "${_art_names}")

set(GRAVEFALL_ART_FILES "")
foreach(_name IN LISTS _art_names)
  list(APPEND GRAVEFALL_ART_FILES "${GRAVEFALL_ART_DIR}/${_name}")
endforeach()

add_custom_command(
  OUTPUT ${GRAVEFALL_ART_FILES}
  COMMAND "${GRAVEFALL_SYSTEM_PYTHON}" -B "${_spritegen_dir}/generate.py" --out "${GRAVEFALL_ART_DIR}"
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
foreach(_suite sheets images png determinism)
  add_test(NAME art.${_suite}
    COMMAND "${GRAVEFALL_SYSTEM_PYTHON}" -B -m unittest -v test_${_suite}
    WORKING_DIRECTORY "${_art_test_dir}")
  set_tests_properties(art.${_suite} PROPERTIES
    ENVIRONMENT "GRAVEFALL_ART_DIR=${GRAVEFALL_ART_DIR};PYTHONDONTWRITEBYTECODE=1"
    FIXTURES_REQUIRED gravefall_art_files
    LABELS art)
endforeach()
