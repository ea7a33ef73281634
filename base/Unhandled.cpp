#include "Unhandled.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <string>

void ReportUnhandled(const char* where) noexcept
{
    try {
        std::string text = std::string("QuenzoLite: unhandled error in ") + where;
        try {
            if (const std::exception_ptr error = std::current_exception())
                std::rethrow_exception(error);
        } catch (const std::exception& error) {
            text += std::string(": ") + error.what();
        } catch (...) {
        }
        text += "\n";
        OutputDebugStringA(text.c_str());
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    } catch (...) {
        OutputDebugStringA("QuenzoLite: unhandled error\n");
    }
}
