// The paint manager's balloon tip: one tip window per paint manager, made on first use.
#include "framework/PaintManager.h"

#include "framework/MAirBladder.h"

namespace KOVA {

namespace {
constexpr DWORD kBalloonStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x80;

std::unique_ptr<MAirBladder> makeBalloon(HWND parent)
{
    auto balloon = std::make_unique<MAirBladder>();
    balloon->Create(parent, L"AirBladder Window", kBalloonStyle, 0, CRect(0, 0, 0, 0), nullptr);
    balloon->LoadBKImage(L"img_tip_bk.png");
    balloon->LoadArrowLImage(L"img_tip_arrow_left.png");
    balloon->LoadArrowRImage(L"img_tip_arrow_right.png");
    balloon->LoadArrowTImage(L"img_tip_arrow_top.png");
    return balloon;
}
} // namespace

void PaintManager::BalloonDeleter::operator()(MAirBladder* balloon) const
{
    if (!balloon)
        return;
    balloon->DestroyWindow();
    delete balloon;
}

int PaintManager::SetAirBladderMsg(const wchar_t* text, POINT anchor, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode)
{
    if (!*m_balloon)
        m_balloon->reset(makeBalloon(m_hWnd).release());
    return (*m_balloon)->SetAirBladderMsg(text, anchor, type, mode);
}

int PaintManager::ShowAirBladder(int show, int tag)
{
    if (!*m_balloon)
        return 0;
    if (tag) {
        if (show == SW_HIDE && tag != *m_balloonOwnerTag)
            return 0;
        *m_balloonOwnerTag = tag;
    }
    return (*m_balloon)->ShowWindow(show);
}

} // namespace KOVA
