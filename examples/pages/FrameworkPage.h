#pragma once
// The framework's page: MButton tiles whose clicks the page hears, a scrolling fan list and a
// tile that shows a picture dropped on the window.
#include "SamplePage.h"

extern const SamplePage kFrameworkPage;

// What a user does on the framework page, done by the headless host before the page's
// screenshot: a click that saves a profile (an overlay message), a press released elsewhere,
// the wheel over the fan list and a dropped picture; then the window's tips and the start-up
// splash. The windows it opens close with it.
class FrameworkTour {
public:
    FrameworkTour(KOVA::MDialog& dialog, KOVA::MPanel& page);
    ~FrameworkTour();
    FrameworkTour(const FrameworkTour&) = delete;
    FrameworkTour& operator=(const FrameworkTour&) = delete;

private:
    KOVA::MDialog& m_dialog;
    KOVA::LoadingWnd m_splash;
    KOVA::CKeyboardTips m_keyTips;
};
