// How the game ends on an error: "Zorbulon: <message>" on standard error and exit code 1, for
// every kind of failure the game throws (standard exceptions, and bare C strings from a library).
#pragma once

#include <functional>

// Runs `body`; returns 0 when it returns, 1 when it throws (after reporting what it threw).
int RunReportingFailures(const std::function<void()>& body);
