// Waiting for a condition instead of for a fixed time: a test goes on as
// soon as what it waits for has happened, and only a real fault makes it
// wait the whole limit.
#pragma once
#include <windows.h>
#include <functional>
#include <gtest/gtest.h>

// Far above what any awaited step takes on a loaded machine under Wine.
constexpr DWORD WAIT_LIMIT_MS = 20000;

// Dispatches the window messages waiting for this thread.
void dispatch_messages();

// Checks `condition` until it holds, at most `limit_ms`. Between two
// checks runs `step`; without one it dispatches this thread's messages and
// sleeps 5 ms. On the time-out it fails, naming `what` it waited for.
testing::AssertionResult wait_until(const char* what, const std::function<bool()>& condition,
                                    DWORD limit_ms = WAIT_LIMIT_MS,
                                    const std::function<void()>& step = nullptr);
