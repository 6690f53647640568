// Settings the sanitizers read at start, built into every sanitized test program so that they
// hold however the program is started (ctest, test discovery, by hand).
extern "C" {
// Leak checking off: the toolkit keeps font and style caches until the process ends. Stop at
// the first error with a stack.
const char *__asan_default_options() {
    return "detect_leaks=0:abort_on_error=0:halt_on_error=1";
}
const char *__ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
}
