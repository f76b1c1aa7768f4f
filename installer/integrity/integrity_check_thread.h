// The payload check on a thread of its own, started when the window opens,
// so that the first page never waits for the whole product block.
#pragma once
#include <stdint.h>

enum IntegrityState : int32_t { INTEGRITY_RUNNING = 0, INTEGRITY_INTACT = 1, INTEGRITY_DAMAGED = 2 };

// Starts the check of the stored product block; without a thread (none
// could be started) the check runs here, to its end.
void integrity_check_start();
IntegrityState integrity_check_state();
// Per cent of the block checked so far.
int32_t integrity_check_percent();
// Returns when the check ends, a message arrives for the calling thread or
// `timeout_ms` has passed.
void integrity_check_wait(int32_t timeout_ms);
