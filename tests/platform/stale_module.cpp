// A module of another build: it states another interface version, and its entry must never be
// called.
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) const char* regiscribe_module_version() {
    return "0.0-another-build";
}
extern "C" __attribute__((visibility("default"))) void* regiscribe_idna() {
    std::abort();
}
