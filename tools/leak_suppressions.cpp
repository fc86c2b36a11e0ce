// Leaks the leak checker should not report: caches the font library keeps for the whole run.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
