// Moved to tests/support/; kept so that the other suites build until they include it from there.
#pragma once
#include "tests/support/ImageTestSupport.h"
