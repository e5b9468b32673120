// SPDX-License-Identifier: GPL-3.0-or-later
// Run-time defaults of the address sanitiser, compiled into every program of a sanitised build:
// the tests, the fuzzers and the tools that run during the build itself. Clang 14's leak checker
// misreads dynamically loaded thread-local storage on Debian 12's glibc and, depending on the
// memory layout, crashes at exit ("Tracer caught signal 11"). Without that tracking it still checks
// for leaks and scans static thread-local storage. ASAN_OPTIONS given at run time still apply.

extern "C" const char* __asan_default_options();

extern "C" const char* __asan_default_options()
{
    return "intercept_tls_get_addr=0";
}
