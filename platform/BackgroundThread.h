#pragma once
// Background work that must not delay the thread the user sees.
namespace tavro::platform {

// Marks the calling thread as background work: it keeps its share of the processor, but waking it never
// takes the processor from the thread that woke it (Linux: SCHED_BATCH; Windows: no priority boost on
// waking). Without this, a worker woken at the end of a model switch ran in the middle of it, on the
// switching thread's processor, and the switch waited its turn. Best effort: a refusal changes nothing.
void MarkCallingThreadAsBackground();

} // namespace tavro::platform
