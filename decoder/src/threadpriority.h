// Decoder thread priority levels (the host's scale: -15 idle ... 15 time-critical) mapped onto
// Linux scheduling.
#pragma once

#include <sys/types.h>

namespace norl {

bool isPriorityLevel(int level);
// Nice value for a level; the idle level also runs under SCHED_IDLE.
int niceForLevel(int level);
// Best effort: a level the process may not take (raising priority without the right to) leaves
// the thread at the nearest one it may take. Never fails.
void applyThreadPriority(pid_t tid, int level);

} // namespace norl
