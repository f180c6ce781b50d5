// The message of the exception a call throws, for tests that check the system's own wording.
#pragma once

#include <exception>
#include <functional>
#include <string>

// What `call` throws, or "<no exception>" when it returns.
inline std::string MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<no exception>";
}
