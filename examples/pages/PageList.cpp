#include "PageList.h"

#include <iterator>

extern const SamplePage kFrameworkPage;

// One row per page. A family's page gets its row here when its file lands in this folder.
const SamplePage* const kSamplePages[] = {
    &kFrameworkPage,
};

const std::size_t kSamplePageCount = std::size(kSamplePages);
