/* A small library for the dynamic-loading tests: one entry point with a known answer. */
__declspec(dllexport) int TesvarProbe(void) { return 42; }
