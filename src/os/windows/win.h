// windows.h as the program includes it: without its Yield() macro, which
// would rewrite EventLoop::Yield.
#pragma once

#include <windows.h>
#undef Yield
