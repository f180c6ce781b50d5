#include "app/FailureReport.h"

#include <exception>
#include <iostream>

int RunReportingFailures(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        std::cerr << "Zorbulon: " << e.what() << std::endl;
        return 1;
    } catch (const char* message) {
        // No code of ours throws these; a library might.
        std::cerr << "Zorbulon: " << message << std::endl;
        return 1;
    } catch (...) {
        std::cerr << "Zorbulon: unexpected error" << std::endl;
        return 1;
    }
    return 0;
}
