// Built into the tests only under ThreadSanitizer: points it at the suppressions for Qt's own
// uninstrumented thread handovers. Options given in TSAN_OPTIONS still apply beside it.

extern "C" const char* __tsan_default_options() {
    return "suppressions=" CORBEL_TSAN_SUPPRESSIONS;
}
