// Leaks of the system's libraries that the leak checker of the sanitizer
// build must not count against the tests: fontconfig keeps its font cache
// for the life of the process.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
