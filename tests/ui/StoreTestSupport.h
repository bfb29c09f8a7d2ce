#pragma once

// The helpers live in support/ now; this name stays for Unit1RunTest.cpp until its include
// follows.
#include "support/StoreTestSupport.h"
