#pragma once
// Turns a demo object into a G1M file. The row decides how the file is laid out, so that between them
// the rows use every vertex stride, one to several vertex and index buffers, joint maps with bone -1,
// empty ones and ones of several entries, skeleton tables of several lengths, chunks in more than one
// order, and chunks and sub-chunks the reader skips.
#include "authoring/demo/DemoMesh.h"

#include <cstdint>
#include <vector>

namespace tavro::authoring {

// The G1M file of model for schedule row. Its bounding box holds the model as drawn, every submesh
// taken through its own transform, which the file's draw list is asked for after a first writing.
std::vector<std::uint8_t> WriteDemoModelFile(const DemoModel& model, std::uint32_t row);

} // namespace tavro::authoring
