#pragma once

// <unistd.h> declares the POSIX function link(), which clashes with our link:: namespace in every
// file that also pulls in <memory> or <atomic> (C++20's standard library includes it there, and so
// do Qt, GoogleTest and moc's output). The build includes this file first in everything that uses
// link::, so the function is declared once under another name and later includes find it done.
#if __has_include(<unistd.h>)
#define link posix_link
#include <unistd.h>
#undef link
#endif
