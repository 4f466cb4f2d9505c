# Third-party libraries, all from the system's packages (scripts/lib/common.sh installs them on Debian).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(GLFW REQUIRED IMPORTED_TARGET glfw3)
find_package(Freetype REQUIRED)

# stb_image is header-only; Debian ships it as <stb/stb_image.h>.
find_path(STB_INCLUDE_DIR stb/stb_image.h REQUIRED)
add_library(stb_image INTERFACE)
target_include_directories(stb_image SYSTEM INTERFACE ${STB_INCLUDE_DIR})

# The embedded caption font.
find_file(GRAVEFALL_FONT DejaVuSans.ttf
  PATHS /usr/share/fonts/truetype/dejavu REQUIRED NO_DEFAULT_PATH)

if(GRAVEFALL_TESTS)
  find_package(GTest REQUIRED)
endif()
if(GRAVEFALL_BENCHMARKS AND NOT CMAKE_CROSSCOMPILING)
  find_package(benchmark REQUIRED)
endif()
