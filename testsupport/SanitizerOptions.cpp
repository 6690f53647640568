// Settings the sanitizers read at start, built into every sanitized test program so that they
// hold however the program is started (ctest, test discovery, by hand).
extern "C" {
// No leak check: it needs to trace the process at its end, which some CI sandboxes refuse, and
// the toolkit keeps its font and style caches until the process ends. Stop at the first error.
const char *__asan_default_options() {
    return "detect_leaks=0:halt_on_error=1";
}
const char *__ubsan_default_options() {
    return "print_stacktrace=1:halt_on_error=1";
}
}
