// Linked into every test program of the sanitizer builds: what the checkers leave out, and why.

// LeakSanitizer: fontconfig keeps its configuration and caches for the life of the process
// (freed only by an explicit FcFini, which neither Qt nor the font code calls), so the blocks
// it still holds at exit are not leaks of this program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// ThreadSanitizer: Qt is not built with the sanitizer, so its own worker threads (image blending
// and conversion while a window is presented) hand memory to each other through synchronisation
// the checker cannot see. Races inside Qt's libraries and calls made from inside them are left
// unchecked; every access of this program's own code, the advert thread's included, is checked.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n"
           "called_from_lib:libQt6Core.so\n"
           "called_from_lib:libQt6Gui.so\n"
           "called_from_lib:libQt6Widgets.so\n";
}
