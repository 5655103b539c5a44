#pragma once
// Process start-up tuning for software rendering: on glibc, keeps freed memory up to 256 MiB instead of
// returning it to the system, which otherwise makes llvmpipe fault its buffers in anew every frame
// (frames about three times slower), and serves blocks below 32 MiB (a model's arrays, its texture, the
// driver's copies of them) from that kept memory rather than from fresh mappings that are faulted in
// page by page. Call once at start-up, before the first device is made.
namespace tavro::gpu::opengl {

void TuneAllocatorForSoftwareRendering();

} // namespace tavro::gpu::opengl
