#pragma once
// Process start-up of the commands that draw.

namespace tavro::tools {

// A command that draws touches tens of megabytes of fresh memory (the software rasterizer's targets,
// the decoded model and texture, the frame read back), and faulting it in 4 KiB pages costs about a
// third of a `tavro render`. glibc backs its allocations with transparent huge pages only when its
// tunable is set as the process starts, so such a command starts itself again once with it set. A
// GLIBC_TUNABLES already set, by the user or by that restart, is left as it is; when the restart
// cannot be made, the command goes on as it is.
void RestartDrawingCommandWithHugePages(int argc, char** argv);

} // namespace tavro::tools
