#include "PageList.h"

#include <iterator>

extern const SamplePage kFrameworkPage;
extern const SamplePage kLcdPage;
extern const SamplePage kButtonsPage;
extern const SamplePage kSlidersPage;

// One row per page. A family's page gets its row here when its file lands in this folder.
const SamplePage* const kSamplePages[] = {
    &kFrameworkPage,
    &kLcdPage,
    &kButtonsPage,
    &kSlidersPage,
};

const std::size_t kSamplePageCount = std::size(kSamplePages);
