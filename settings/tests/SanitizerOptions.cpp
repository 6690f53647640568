// The stream tests run under the address sanitizer to catch reads out of bounds. Its leak
// check is left out: it needs to trace the process at its end, which some CI sandboxes refuse,
// and the readers own all their memory through value types.
extern "C" const char *__asan_default_options() {
    return "detect_leaks=0";
}
