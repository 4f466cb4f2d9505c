// The one translation unit that compiles stb_image's implementation. PNG is all it decodes
// from memory; the wallpaper may be any common format.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#include <stb/stb_image.h>
