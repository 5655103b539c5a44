#include "gpu/opengl/AllocatorTuning.h"

#include <cstdlib> // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tavro::gpu::opengl {

void TuneAllocatorForSoftwareRendering() {
#if defined(__GLIBC__)
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
#endif
}

} // namespace tavro::gpu::opengl
