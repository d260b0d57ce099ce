#pragma once

#include "framework/afx.h"

// TRUE when `name` is one of the strings of the ProductSuite list.
BOOL kHasProductSuite(const char *name);
