#include "threadpriority.h"

#include <sched.h>
#include <sys/resource.h>

namespace norl {

bool isPriorityLevel(int level)
{
    switch (level) {
    case -15:
    case -2:
    case -1:
    case 0:
    case 1:
    case 2:
    case 15:
        return true;
    default:
        return false;
    }
}

int niceForLevel(int level)
{
    switch (level) {
    case -15:
        return 19;
    case -2:
        return 10;
    case -1:
        return 5;
    case 1:
        return -5;
    case 2:
        return -10;
    case 15:
        return -20;
    default:
        return 0;
    }
}

void applyThreadPriority(pid_t tid, int level)
{
    sched_param param{};
    if (level == -15) {
        sched_setscheduler(tid, SCHED_IDLE, &param);
    } else if (sched_getscheduler(tid) == SCHED_IDLE) {
        // Leaving SCHED_IDLE needs privileges; without them the thread stays idle until the
        // next decoder thread starts fresh.
        sched_setscheduler(tid, SCHED_OTHER, &param);
    }
    int nice = niceForLevel(level);
    if (setpriority(PRIO_PROCESS, id_t(tid), nice) != 0 && nice < 0)
        setpriority(PRIO_PROCESS, id_t(tid), 0);
}

} // namespace norl
