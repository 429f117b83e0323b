// What /proc shows of a running process, for tests that must wait until a process they started
// is ready for a signal or has done some work (Linux).
#pragma once

#include <sys/types.h>

// Whether process `child` catches `signal`, as /proc shows (its SigCgt mask); waits for it,
// for at most a minute.
bool WaitUntilCatching(pid_t child, int signal);

// Waits until process `child` has used `seconds` of processor time (user and system, from
// /proc), for at most a minute of the clock.
bool WaitForProcessorTime(pid_t child, double seconds);
