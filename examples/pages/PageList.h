#pragma once
// The sample host's pages in the order of their switches: the framework's first, then one
// page per control family.
#include <cstddef>

#include "SamplePage.h"

extern const SamplePage* const kSamplePages[];
extern const std::size_t kSamplePageCount;
