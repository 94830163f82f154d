// A loadable library without the exports of a language module.
extern "C" __attribute__((visibility("default"))) int GetCompany() { return 1; }
