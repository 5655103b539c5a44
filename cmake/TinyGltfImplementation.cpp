// tinygltf's implementation for the Windows build, which has no prebuilt library of it to link.
#define TINYGLTF_IMPLEMENTATION
#include <tiny_gltf.h>
