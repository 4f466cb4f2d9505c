# The OpenGL 3.3 core loader, generated at build time by glad from the Khronos registry files it
# ships with (--reproducible: no download). No extensions: the program uses core GL only.
find_program(GLAD_GENERATOR glad REQUIRED)
set(GLAD_DIR ${CMAKE_BINARY_DIR}/glad)
add_custom_command(
  OUTPUT ${GLAD_DIR}/src/gl.c ${GLAD_DIR}/include/glad/gl.h ${GLAD_DIR}/include/KHR/khrplatform.h
  COMMAND ${GLAD_GENERATOR} --quiet --reproducible --api gl:core=3.3 --extensions= --out-path ${GLAD_DIR} c
  COMMENT "Generating the OpenGL 3.3 core loader"
  VERBATIM)
add_library(glad STATIC ${GLAD_DIR}/src/gl.c)
target_include_directories(glad SYSTEM PUBLIC ${GLAD_DIR}/include)
set_target_properties(glad PROPERTIES POSITION_INDEPENDENT_CODE ON)
