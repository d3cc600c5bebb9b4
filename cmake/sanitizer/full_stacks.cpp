// Linked into programs that render text. Fontconfig and Pango are built without frame
// pointers, so the fast unwinder stops at their first frame; the leak suppressions name
// the font libraries' cache functions, which only the full unwinder reaches. ASAN_OPTIONS
// still overrides this.
extern "C" __attribute__((visibility("default"), used)) const char *__asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
