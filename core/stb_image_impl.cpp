// The one translation unit that compiles stb_image's implementation, with only its PNG decoder:
// the embedded sheets are PNG, and the other decoders of the stb_image Debian ships have known
// memory-safety faults. Every other wallpaper format goes to the platform's own decoder.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#include <stb/stb_image.h>
