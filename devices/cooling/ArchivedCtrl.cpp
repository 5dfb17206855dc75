// GUI thread only. The item lock is taken below the paint manager's list locks and let go
// before any repaint request or notification.
#include "devices/cooling/ArchivedCtrl.h"

#include "framework/FontCache.h"

namespace KOVA {

namespace {
constexpr UINT kClickCode = 2;
constexpr int kTitleGrowth = 5;
constexpr int kTitleTop = 80;
constexpr int kSecondTop = 120;
constexpr int kThirdTop = 160;
constexpr int kLineHeight = 30;
constexpr Gdiplus::ARGB kLitTitle = 0xFFBD30FF;
constexpr Gdiplus::ARGB kLitLine = 0xFFFFFFFF;
constexpr Gdiplus::ARGB kDimLine = 0xFF878787;
} // namespace

ArchivedCtrl::ArchivedCtrl(MObject* parent, UINT id, CRect rect, int visible, int enabled)
    : CardGrid(parent, id, rect, visible, enabled, kCardWidth, kCardHeight)
{
}

ArchivedCtrl::ArchivedCtrl(const ArchivedCtrl& other) = default;
ArchivedCtrl& ArchivedCtrl::operator=(const ArchivedCtrl& other) = default;
ArchivedCtrl::~ArchivedCtrl() = default;

const wchar_t* ArchivedCtrl::GetClassNameW() const { return L"ArchivedCtrl"; }

void ArchivedCtrl::AddItem(CString title, CString second, int profile, CString third)
{
    auto card = std::make_unique<ArchiveItemInfo>();
    card->text = title;
    card->second = second;
    card->third = third;
    card->profile = profile;
    AppendItem(std::move(card));
}

int ArchivedCtrl::GetCurProfile()
{
    ScopedLock lock(m_itemsLock);
    const auto* card = static_cast<const ArchiveItemInfo*>(ItemAt(m_selected));
    return card ? card->profile : 0;
}

void ArchivedCtrl::SetCurProfile(int profile)
{
    {
        ScopedLock lock(m_itemsLock);
        for (size_t i = 0; i < m_items->size(); ++i) {
            if (static_cast<const ArchiveItemInfo&>(*(*m_items)[i]).profile == profile) {
                m_selected = static_cast<int>(i);
                break;
            }
        }
    }
    UpdateControl(1, 0);
}

void ArchivedCtrl::ReleaseItem(int index, CPoint)
{
    m_selected = index;
    SendMessageW(kClickCode, index, 0);
}

void ArchivedCtrl::PrepareCards()
{
    *m_title = m_titleFont->Get(*this, static_cast<float>(m_fontSize + kTitleGrowth), Gdiplus::FontStyleBold);
    *m_body = ItemFont(m_fontSize);
}

void ArchivedCtrl::DrawCard(Gdiplus::Graphics& graphics, ListItem& item, const CRect& cell, bool lit)
{
    const auto& card = static_cast<const ArchiveItemInfo&>(item);
    const Gdiplus::StringFormat* format = m_format->Get();
    const auto line = [&](const CString& text, const Gdiplus::Font* font, int top, Gdiplus::ARGB colour) {
        if (!font || text.IsEmpty())
            return;
        const Gdiplus::RectF place(static_cast<float>(cell.left), static_cast<float>(cell.top + top),
                                   static_cast<float>(cell.Width()), static_cast<float>(kLineHeight));
        graphics.DrawString(text, text.GetLength(), TextFont(font, text), place, format, &ItemBrush(colour));
    };
    line(card.text, *m_title, kTitleTop, lit ? kLitTitle : kDimLine);
    line(card.second, *m_body, kSecondTop, lit ? kLitLine : kDimLine);
    line(card.third, *m_body, kThirdTop, lit ? kLitLine : kDimLine);
}

} // namespace KOVA
