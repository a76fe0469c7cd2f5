#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property is a finding like a crash: libFuzzer keeps the input that caused the abort.
#define FUZZ_CHECK(condition)                                                                    \
    ((condition) ? void()                                                                        \
                 : (std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition), \
                    std::abort()))
