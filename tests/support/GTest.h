#pragma once

// GoogleTest includes <unistd.h>, whose POSIX function link() would clash with our link::
// namespace. Include GoogleTest through this header in every test that uses link::.
#define link posix_link
#include <gtest/gtest.h>
#undef link
