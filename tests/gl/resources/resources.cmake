# Test-only resources: generated at build time, embedded together with the program's own into
# the unit and GL test programs. Included from tests/CMakeLists.txt once those targets exist.
if(WIN32)
  return()
endif()

set(test_resource_script ${CMAKE_CURRENT_LIST_DIR}/make_test_resources.py)
set(test_resource_dir ${CMAKE_CURRENT_BINARY_DIR}/test_resources)
set(test_resource_files)
foreach(file one_pixel.png rgb_pair.png red_blue_sheet.png strip4.png not_an_image.txt empty.bin quoted_text.txt
             many_errors.frag)
  list(APPEND test_resource_files ${test_resource_dir}/${file})
endforeach()
add_custom_command(
  OUTPUT ${test_resource_files}
  COMMAND ${GRAVEFALL_SYSTEM_PYTHON} ${test_resource_script} ${test_resource_dir}
  DEPENDS ${test_resource_script}
  COMMENT "Generating the test resources"
  VERBATIM)
add_custom_target(gravefall_test_resource_files DEPENDS ${test_resource_files})

gravefall_embed_resources(gravefall_test_resources
  MANIFESTS ${CMAKE_SOURCE_DIR}/assets/resources.manifest ${CMAKE_CURRENT_LIST_DIR}/test_resources.manifest
  GENERATED_DIR ${test_resource_dir}
  DEPENDS gravefall_test_resource_files)

target_link_libraries(integration_tests PRIVATE gravefall_test_resources)
if(TARGET gl_tests)
  target_link_libraries(gl_tests PRIVATE gravefall_test_resources)
endif()
