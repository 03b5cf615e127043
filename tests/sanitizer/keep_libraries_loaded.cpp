// Linked into the game and the harness in the sanitizer build only.
//
// SDL and the GL driver load libraries with the window and unload them when
// it closes, before the leak check runs at exit. What such a library still
// held is then reported as leaked, from an "<unknown module>" that
// scripts/lsan.supp cannot name. This dlclose, found before the C library's,
// keeps every library loaded to the end: their memory stays reachable, and a
// real leak inside one keeps its library's name. The game never unloads code
// of its own, so nothing of ours is hidden.
extern "C" int dlclose(void*) {
    return 0;
}
