// Runs a clean-up only when the scope is left by an exception. The long operations use it to
// give the window back (busy flag, cursor, display updates, progress bar) when a step fails
// and the error goes on to the general error display.
#pragma once

#include <exception>
#include <utility>

template <typename Cleanup>
class OnFailure {
public:
    explicit OnFailure(Cleanup cleanup) : m_cleanup(std::move(cleanup)) {}
    OnFailure(const OnFailure &) = delete;
    OnFailure &operator=(const OnFailure &) = delete;
    ~OnFailure() {
        if (std::uncaught_exceptions() > m_exceptions) {
            try {
                m_cleanup();
            } catch (...) {
                // The first failure is the one to report.
            }
        }
    }

private:
    Cleanup m_cleanup;
    int m_exceptions = std::uncaught_exceptions();
};
