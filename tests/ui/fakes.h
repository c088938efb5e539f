// The fakes moved to support/fakes.h, shared by every test program.
#pragma once

#include "support/fakes.h"
