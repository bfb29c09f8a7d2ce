// Fontconfig keeps caches that it never frees; Qt loads it as soon as a widget shows text.
// Qt 6.4's FreeType engine, asked for a cached glyph in another format (as a window drawn at
// two pixel ratios asks), loads it again and puts it in the cache over the first without
// freeing it. Those are the system libraries', not ours, so the leak checker leaves them out.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:QFontEngineFT::loadGlyph\n";
}
