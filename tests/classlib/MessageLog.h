#pragma once
// The message log moved to the test-support library.
#include "support/MessageLog.h"
