#include "PageList.h"

#include <iterator>

extern const SamplePage kFrameworkPage;
extern const SamplePage kLcdPage;
extern const SamplePage kLcdSlotsPage;
extern const SamplePage kLcdLayoutsPage;
extern const SamplePage kLcdScreensPage;
extern const SamplePage kLcdPickersPage;
extern const SamplePage kLcdClockPage;
extern const SamplePage kClockCapturePage;
extern const SamplePage kButtonsPage;
extern const SamplePage kSlidersPage;
extern const SamplePage kTabsPage;
extern const SamplePage kPicturesPage;
extern const SamplePage kMediaViewsPage;
extern const SamplePage kStartupAnimationPage;
extern const SamplePage kFanCoolingPage;
extern const SamplePage kCoolingHomePage;
extern const SamplePage kCoolingListsPage;
extern const SamplePage kListsPage;
extern const SamplePage kEditsPage;
extern const SamplePage kPeripheralsPage;

// One row per page. A family's page gets its row here when its file lands in this folder.
const SamplePage* const kSamplePages[] = {
    &kFrameworkPage,
    &kLcdPage,
    &kLcdSlotsPage,
    &kLcdLayoutsPage,
    &kLcdScreensPage,
    &kLcdPickersPage,
    &kLcdClockPage,
    &kClockCapturePage,
    &kButtonsPage,
    &kSlidersPage,
    &kTabsPage,
    &kPicturesPage,
    &kMediaViewsPage,
    &kStartupAnimationPage,
    &kFanCoolingPage,
    &kCoolingHomePage,
    &kCoolingListsPage,
    &kListsPage,
    &kEditsPage,
    &kPeripheralsPage,
};

const std::size_t kSamplePageCount = std::size(kSamplePages);
