#include "platform/BackgroundThread.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#include <sched.h>
#endif

namespace tavro::platform {

void MarkCallingThreadAsBackground() {
#ifdef _WIN32
    SetThreadPriorityBoost(GetCurrentThread(), TRUE);
#elif defined(SCHED_BATCH)
    const sched_param parameters{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &parameters);
#endif
}

} // namespace tavro::platform
