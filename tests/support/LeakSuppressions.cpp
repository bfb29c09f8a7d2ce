// Fontconfig keeps caches that it never frees; Qt loads it as soon as a widget shows text.
// Those are the system library's, not ours, so the leak checker leaves them out.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
