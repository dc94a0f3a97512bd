// Moved to tests/support/TempDir.h, where every suite finds it.
#pragma once

#include "support/TempDir.h"
