// Leaks the leak checker should not report: caches the font library and the D-Bus library
// (which Qt's desktop integration opens) keep for the whole run.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n"
         "leak:libdbus-1.so\n";
}
