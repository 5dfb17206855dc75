// Drag and drop: the data object and drop source of an outgoing drag, the paint manager as a
// drop target turning every offered format into a picture for its window, and real drags of
// a control's picture between two windows.
#include <gtest/gtest.h>

#include "LibraryHost.h"

#include "platform/Win32.h"

#include <shellapi.h>

#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "BandedDib.h"
#include "DropData.h"
#include "GdiObjectCount.h"
#include "Poisoned.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

void expectBands(HBITMAP bitmap, CSize size)
{
    auto picture = readBitmap(bitmap);
    ASSERT_NE(nullptr, picture);
    EXPECT_EQ(size, CSize(picture->width(), picture->height()));
    expectPixels(*picture, { { size.cx / 2, 0, kUpperBand }, { size.cx / 2, size.cy - 1, kLowerBand } }, 8);
}

// A DIB as a drag carries it: header, colour table or masks, then the pixels.
const DibLayout kRgb32 { "Rgb32BottomUp", 40, 32, BI_RGB, 1, 0, {} };

Offer dibOffer(const std::vector<BYTE>& dib)
{
    return { CF_DIB, TYMED_HGLOBAL, globalOf(dib.data(), dib.size()) };
}

// A 6 × 4 DIB of the bands in kRgb32, spoiled so that it claims more than it holds.
template <class Spoil>
Offer spoiledDib(Spoil spoil)
{
    std::vector<BYTE> dib = buildDib(kRgb32, 6, 4);
    spoil(dib, *reinterpret_cast<BITMAPINFOHEADER*>(dib.data()));
    return dibOffer(dib);
}

CString scratchFolder()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return CString(temp) + L"kova-dragdrop\\";
}

std::unique_ptr<ScratchFile> bitmapFile(int width, int height)
{
    auto file = std::make_unique<ScratchFile>(scratchFolder(), L"dropped.bmp", std::vector<BYTE> {});
    writeBitmapFile(file->path(), buildDib(kRgb32, width, height));
    return file;
}

// CF_HDROP naming one file; the list ends in two nulls.
Offer fileList(const CString& path)
{
    const DROPFILES header { sizeof header, {}, FALSE, TRUE };
    std::vector<BYTE> bytes(sizeof header + (path.GetLength() + 2) * sizeof(wchar_t));
    std::memcpy(bytes.data(), &header, sizeof header);
    std::memcpy(bytes.data() + sizeof header, static_cast<const wchar_t*>(path), path.GetLength() * sizeof(wchar_t));
    return { CF_HDROP, TYMED_HGLOBAL, globalOf(bytes.data(), bytes.size()) };
}

// A host dialog that keeps the picture last dropped on it and hands back the one before, and
// counts the markers a test posts behind its input.
class PictureDialog : public MDialog {
public:
    ~PictureDialog() override
    {
        if (picture)
            DeleteObject(picture);
    }
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        markers += msg == WM_APP;
        if (msg != STM_SETIMAGE)
            return msg == WM_APP ? 0 : MDialog::OnWindowMessage(msg, wParam, lParam);
        ++pictures;
        HBITMAP previous = picture;
        picture = reinterpret_cast<HBITMAP>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    void open(CRect place, DWORD exStyle = 0)
    {
        Create(nullptr, L"drag test", WS_POPUP, exStyle, place);
        // A press on the background would start the system's move loop.
        EnableWndDrag(0);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    bool painted()
    {
        UpdateWindow(GetSafeHwnd());
        return !GetUpdateRect(GetSafeHwnd(), nullptr, FALSE);
    }

    HBITMAP picture { nullptr };
    int pictures { 0 };
    int markers { 0 };
};

// A bound paint manager on a real window that takes dropped pictures (a plain window: nothing
// of a dialog's painting may count in the leak check).
class DropWindow : public ::testing::Test {
protected:
    DropWindow()
    {
        window.onMessage([this](UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
            if (msg == WM_LBUTTONUP || msg == STM_SETIMAGE)
                heard += msg == WM_LBUTTONUP ? " up" : " picture";
            if (msg != STM_SETIMAGE)
                return false;
            result = reinterpret_cast<LRESULT>(received);
            received = reinterpret_cast<HBITMAP>(lParam);
            return true;
        });
        manager.Init(window.hwnd(), nullptr);
    }
    ~DropWindow() override
    {
        manager.DestroyData();
        if (received)
            DeleteObject(received);
    }

    IDropTarget* target() { return &manager; }

    // DragEnter then Drop, as OLE calls them: whether entering refused the offers, then what
    // the window heard ("up" for the button release, "picture" for a picture).
    std::string drop(const std::vector<Offer>& offers)
    {
        DataObject data = offering(offers);
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(S_OK, target()->DragEnter(data.get(), 0, POINTL { 10, 10 }, &effect));
        heard = effect == DROPEFFECT_NONE ? "refused" : "taken";
        effect = DROPEFFECT_COPY;
        EXPECT_EQ(S_OK, target()->Drop(data.get(), 0, POINTL { 10, 10 }, &effect));
        EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
        return heard;
    }

    TestWindow window { 200, 150 };
    PaintManager manager;
    std::string heard;
    HBITMAP received { nullptr };
};

const std::string kPicture = "taken up picture";

} // namespace

// ---- the data object, its enumerator and the drop source

// What it was given without ownership it keeps a copy of; every GetData hands out a new copy
// of the first match, so a receiver's release frees nothing it keeps. A query says what differs.
TEST(DataObject, HandsOutACopyOfTheFirstMatchOfItsOwnCopyOrSaysWhatDiffers)
{
    DataObject data = offering({});
    FORMATETC text = formatOf(CF_TEXT, TYMED_HGLOBAL), dib = formatOf(CF_DIB, TYMED_HGLOBAL);
    STGMEDIUM mine { TYMED_HGLOBAL, {}, nullptr };
    mine.hGlobal = globalOf("first", 6);
    ASSERT_EQ(S_OK, data->SetData(&text, &mine, FALSE));
    GlobalFree(mine.hGlobal);
    put(*data, { CF_TEXT, TYMED_HGLOBAL, globalOf("other", 6) });
    put(*data, { CF_BITMAP, TYMED_GDI, CreateBitmap(2, 2, 1, 32, nullptr) });
    FORMATETC asked = formatOf(CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM);
    STGMEDIUM first {}, second {};
    ASSERT_EQ(S_OK, data->GetData(&asked, &first));
    ASSERT_EQ(S_OK, data->GetData(&asked, &second));
    EXPECT_NE(first.hGlobal, second.hGlobal);
    EXPECT_STREQ("first", static_cast<const char*>(GlobalLock(first.hGlobal)));
    GlobalUnlock(first.hGlobal);
    ReleaseStgMedium(&first);
    ReleaseStgMedium(&second);
    EXPECT_EQ((std::vector<HRESULT> { DV_E_FORMATETC, E_INVALIDARG, E_INVALIDARG }),
              (std::vector<HRESULT> { data->GetData(&dib, &first), data->GetData(nullptr, &first), data->QueryGetData(nullptr) }));
    const std::pair<FORMATETC, HRESULT> queries[] = { { formatOf(CF_BITMAP, TYMED_GDI), S_OK },
                                                      { formatOf(CF_DIB, TYMED_ISTREAM), DV_E_TYMED },
                                                      { formatOf(CF_ENHMETAFILE, TYMED_GDI), DV_E_CLIPFORMAT },
                                                      { formatOf(CF_BITMAP, TYMED_GDI, DVASPECT_THUMBNAIL), DV_E_DVASPECT } };
    for (auto [format, expected] : queries)
        EXPECT_EQ(expected, data->QueryGetData(&format)) << format.cfFormat;
}

TEST(DataObject, EnumeratorSkipsToExactlyTheEndOnlyByFailing)
{
    DataObject data = offering({ { CF_TEXT, TYMED_HGLOBAL, globalOf("a", 2) }, { CF_DIB, TYMED_HGLOBAL, globalOf("b", 2) } });
    IEnumFORMATETC *formats = nullptr, *clone = nullptr;
    EXPECT_EQ(E_NOTIMPL, data->EnumFormatEtc(DATADIR_SET, &formats));
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    // Skipping all that is left fails; a huge count must not wrap around to the start.
    EXPECT_EQ((std::vector<HRESULT> { S_FALSE, S_OK, S_FALSE }),
              (std::vector<HRESULT> { formats->Skip(2), formats->Skip(1), formats->Skip(0xFFFFFFFF) }));
    ASSERT_EQ(S_OK, formats->Clone(&clone));
    FORMATETC got[2] {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, clone->Next(2, got, &fetched)); // one left, not two
    EXPECT_EQ(std::make_pair(1ul, CLIPFORMAT(CF_DIB)), std::make_pair(fetched, got[0].cfFormat));
    EXPECT_EQ(S_OK, formats->Reset());
    EXPECT_EQ(S_OK, formats->Next(2, got, &fetched));
    EXPECT_EQ(CF_TEXT, got[0].cfFormat);
    EXPECT_EQ(0u, clone->Release() + formats->Release());
}

// ---- the drop target

TEST_F(DropWindow, TheEffectFollowsTheKeysAmongTheOfferedEffects)
{
    const struct { DWORD keys, offered, expected; } cases[] = {
        { MK_CONTROL, DROPEFFECT_MOVE, DROPEFFECT_NONE },
        { 0, DROPEFFECT_MOVE, DROPEFFECT_MOVE },
        { 0, DROPEFFECT_MOVE | DROPEFFECT_COPY, DROPEFFECT_COPY },
        { MK_SHIFT, DROPEFFECT_MOVE | DROPEFFECT_COPY, DROPEFFECT_MOVE },
        { MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK | DROPEFFECT_COPY, DROPEFFECT_LINK },
        { 0, DROPEFFECT_LINK, DROPEFFECT_LINK },
    };
    DataObject data = offering({ { CF_BITMAP, TYMED_GDI, CreateBitmap(2, 2, 1, 32, nullptr) } });
    for (const auto& given : cases) {
        DWORD entered = given.offered, over = given.offered;
        ASSERT_EQ(S_OK, target()->DragEnter(data.get(), given.keys, POINTL {}, &entered));
        target()->DragOver(given.keys, POINTL {}, &over);
        EXPECT_EQ(std::make_pair(given.expected, given.expected), std::make_pair(entered, over)) << given.keys << " " << given.offered;
        target()->DragLeave();
    }
}

// Text is refused; a DIB of any layout, a bitmap, a metafile or a bitmap file arrives as a
// bitmap of its own size, replacing (and deleting) the one before; what claims more than it
// holds arrives as nothing; after a drop the drag is over.
TEST_F(DropWindow, EachOfferArrivesAsABitmapOfItsOwnSizeOrNotAtAll)
{
    auto bmp = bitmapFile(9, 7);
    ScratchStrip png(scratchFolder(), L"dropped.png", 9, 7, { 0xFFFF0000 });
    ASSERT_TRUE(png.written());
    const DROPFILES pastTheBlock { 4096, {}, FALSE, TRUE };
    HENHMETAFILE metafile = recordBands(40, 30);
    ENHMETAHEADER header {};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);
    const auto layout = [](const DibLayout& layout) { return dibOffer(buildDib(layout, 6, 4)); };
    enum Shows { Refused, Nothing, TheBands, TheUpperBandAtRow24, ItsSize };
    const struct { const char* name; std::vector<Offer> offers; Shows shows; CSize size; } cases[] = {
        { "text", { { CF_UNICODETEXT, TYMED_HGLOBAL, globalOf(L"x", 4) } }, Refused, {} },
        { "a file and a DIB: the DIB", { fileList(bmp->path()), layout(kRgb32) }, TheBands, { 6, 4 } },
        { "24 bits top-down", { layout({ "", 40, 24, BI_RGB, -1, 0, {} }) }, TheBands, { 6, 4 } },
        { "a two-colour palette", { layout({ "", 40, 8, BI_RGB, 1, 2, quads({ kUpperBand, kLowerBand }) }) }, TheBands, { 6, 4 } },
        { "16-bit bitfields", { layout({ "", 40, 16, BI_BITFIELDS, 1, 0, quads({ 0xF800, 0x07E0, 0x001F }) }) }, TheBands, { 6, 4 } },
        { "a V5 header holding its masks", { layout({ "", sizeof(BITMAPV5HEADER), 32, BI_BITFIELDS, 1, 0, {} }) }, TheBands, { 6, 4 } },
        { "a core header, triple palette", { layout({ "", sizeof(BITMAPCOREHEADER), 8, BI_RGB, 1, 0, coreBandPalette() }) }, TheBands, { 6, 4 } },
        { "more rows", { spoiledDib([](auto&, auto& info) { info.biHeight = 1000; }) }, Nothing, {} },
        { "a larger header", { spoiledDib([](auto&, auto& info) { info.biSize = 4096; }) }, Nothing, {} },
        { "a larger palette", { spoiledDib([](auto&, auto& info) { info.biClrUsed = 100000; }) }, Nothing, {} },
        { "masks past the end", { spoiledDib([](auto&, auto& info) { info.biCompression = BI_BITFIELDS; }) }, Nothing, {} },
        { "sizes that overflow", { spoiledDib([](auto&, auto& info) { info.biWidth = info.biHeight = 0x40000000; }) }, Nothing, {} },
        { "a truncated header", { spoiledDib([](auto& dib, auto&) { dib.resize(20); }) }, Nothing, {} },
        { "part of the last row", { spoiledDib([](auto& dib, auto&) { dib.pop_back(); }) }, Nothing, {} },
        { "a bitmap, handed over", { { CF_BITMAP, TYMED_GDI, bandBitmap(6, 4) } }, TheBands, { 6, 4 } },
        { "a metafile, in its bounds", { { CF_ENHMETAFILE, TYMED_ENHMF, metafile } }, TheBands, { header.rclBounds.right, header.rclBounds.bottom } },
        // Twice as large here, the upper band now covers the rows the lower one had.
        { "a metafile of a coarser device, scaled", { { CF_ENHMETAFILE, TYMED_ENHMF, recordBands(40, 30, 2) } }, TheUpperBandAtRow24, {} },
        { "a metafile of huge bounds, clamped", { { CF_ENHMETAFILE, TYMED_ENHMF, recordBands(20000, 30) } }, ItsSize, { 4096, 29 } },
        { "a bitmap file, loaded", { fileList(bmp->path()) }, TheBands, { 9, 7 } },
        { "a png file", { fileList(png.path()) }, Nothing, {} },
        { "a file list pointing past its block", { { CF_HDROP, TYMED_HGLOBAL, globalOf(&pastTheBlock, sizeof pastTheBlock) } }, Nothing, {} },
    };
    for (const auto& offer : cases) {
        SCOPED_TRACE(offer.name);
        HBITMAP before = received;
        const std::string heard = drop(offer.offers);
        ASSERT_EQ(offer.shows == Refused ? "refused" : offer.shows == Nothing ? "taken up" : kPicture, heard);
        if (offer.shows <= Nothing)
            continue;
        EXPECT_EQ(0u, before ? GetObjectType(before) : 0u) << "the picture it replaced was deleted";
        auto shown = readBitmap(received);
        ASSERT_NE(nullptr, shown);
        if (offer.shows == TheBands)
            expectBands(received, offer.size);
        else if (offer.shows == TheUpperBandAtRow24)
            expectPixels(*shown, { { 20, 24, kUpperBand } }, 8);
        else
            EXPECT_EQ(offer.size, CSize(shown->width(), shown->height()));
    }
    DWORD effect = DROPEFFECT_COPY;
    target()->DragOver(0, POINTL {}, &effect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
}

TEST_F(DropWindow, RepeatedDropsLeaveNoGdiObjectsBehind)
{
    auto file = bitmapFile(9, 7);
    const std::vector<BYTE> dib = buildDib(kRgb32, 6, 4);
    auto round = [&] {
        drop({ dibOffer(dib) });
        drop({ dibOffer(std::vector<BYTE>(dib.begin(), dib.end() - 1)) });
        drop({ { CF_BITMAP, TYMED_GDI, CreateBitmap(5, 5, 1, 32, nullptr) } });
        drop({ { CF_ENHMETAFILE, TYMED_ENHMF, recordBands(20, 10) } });
        drop({ fileList(file->path()) });
    };
    expectNoGdiGrowth(round, 10);
}

TEST_F(DropWindow, DestroyDataRevokesTheTargetWhichOutlivesOlesFinalRelease)
{
    EXPECT_GT(heldByOthers(target()), 0u); // OLE, for the registration
    target()->AddRef();
    manager.DestroyData(); // OLE lets go here
    EXPECT_EQ(0u, target()->Release());
    class Foreign : public CIDropTarget {
        bool OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) override { return true; }
    } foreign;
    EXPECT_EQ(S_OK, RegisterDragDrop(window.hwnd(), &foreign));
    // Held by another target now, the window cannot be registered again.
    EXPECT_EQ(0, manager.InitDragDrop());
    EXPECT_EQ(S_OK, RevokeDragDrop(window.hwnd()));
    // Still whole: bound again it registers and takes drops.
    manager.Init(window.hwnd(), nullptr);
    EXPECT_EQ(kPicture, drop({ dibOffer(buildDib(kRgb32, 6, 4)) }));
}

// ---- drops on a dialog

namespace {

void dropOn(IDropTarget* target, const std::vector<Offer>& offers, HRESULT expected = S_OK)
{
    DataObject data = offering(offers);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(data.get(), 0, POINTL { 10, 10 }, &effect));
    EXPECT_EQ(expected, target->Drop(data.get(), 0, POINTL { 10, 10 }, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
}

class PlainDialog : public MDialog {
public:
    PlainDialog()
    {
        Create(nullptr, L"drop test", WS_POPUP, 0, CRect(40, 40, 240, 190));
        EnableWndDrag(0);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    ~PlainDialog() override { DestroyWindow(); }
};

} // namespace

// No control takes the picture and the dialog leaves the message to the default handling:
// the picture made for the drop is deleted.
TEST(DropOnADialog, APictureNobodyTakesIsDeleted)
{
    PlainDialog dialog;
    const std::vector<BYTE> dib = buildDib(kRgb32, 6, 4);
    expectNoGdiGrowth([&] { dropOn(dialog.GetPaintManager(), { dibOffer(dib) }); }, 10);
}

namespace {

struct DialogFate {
    bool deleted { false };
};

// A host dialog that deletes itself once its window is gone.
class SelfDeletingDialog : public MDialog {
public:
    explicit SelfDeletingDialog(DialogFate& fate) : m_fate(fate)
    {
        Create(nullptr, L"drop test", WS_POPUP, 0, CRect(40, 40, 240, 190));
        EnableWndDrag(0);
        ShowWindow(SW_SHOWNOACTIVATE);
    }
    ~SelfDeletingDialog() override { m_fate.deleted = true; }
    int PostNcDestroy() override
    {
        delete this;
        return 0;
    }

private:
    DialogFate& m_fate;
};

// Runs a step when it is released, then touches nothing of itself, as a button reports.
class ReleaseControl : public MControl {
public:
    ReleaseControl(MObject* parent, std::function<void()> onUp)
        : MControl(parent, 5, CRect(0, 0, 200, 150), 1, 1, 1), m_onUp(std::move(onUp))
    {
    }
    void DrawControl(HDC&, CRect) override {}
    int OnControlLButtonUp(UINT, CPoint) override
    {
        m_onUp();
        return 1;
    }

private:
    std::function<void()> m_onUp;
};

} // namespace

// The drop clicks the dialog, and the host destroys the dialog from that click (its object
// deletes itself with the window): Drop ends without using the freed object, whose memory
// faults on any access.
TEST(DropOnADialog, AHostThatDestroysItsDialogFromTheDropsClickLeavesTheDropWhole)
{
    DialogFate fate;
    auto* dialog = new NoAccessAfterDelete<SelfDeletingDialog>(fate);
    HWND window = dialog->GetSafeHwnd();
    PaintManager* manager = dialog->GetPaintManager();
    auto* control = new ReleaseControl(dialog, [window] { DestroyWindow(window); });
    control->SetManager(manager);
    manager->AppendControl(control, 1);
    // Sent, not posted: a leave posted by mouse tracking must not come between.
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    ASSERT_EQ(control, manager->GetHoverControl());
    dropOn(manager, { dibOffer(buildDib(kRgb32, 6, 4)) });
    EXPECT_TRUE(fate.deleted);
    EXPECT_FALSE(IsWindow(window));
}

namespace {
class FailingTarget : public PaintManager {
public:
    bool OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) override { throw std::runtime_error("the drop failed"); }
};
} // namespace

// What the drop's handling throws stops at Drop: the drop fails, the medium goes back, and
// the next drag is taken as usual.
TEST(DropTarget, WhatTheDropsHandlingThrowsFailsThatDropOnly)
{
    TestWindow window;
    FailingTarget target;
    target.Init(window.hwnd(), nullptr);
    expectNoGdiGrowth([&] { dropOn(&target, { { CF_BITMAP, TYMED_GDI, CreateBitmap(2, 2, 1, 32, nullptr) } }, E_UNEXPECTED); }, 5);
    DataObject data = offering({ { CF_BITMAP, TYMED_GDI, CreateBitmap(2, 2, 1, 32, nullptr) } });
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, target.DragEnter(data.get(), 0, POINTL {}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    target.DragLeave();
    target.DestroyData();
}

// ---- pictures of controls

namespace {

// Paints kUpperBand over kLowerBand and offers itself whole as its drag picture.
class BandControl : public MControl {
public:
    BandControl(MObject* parent, UINT id, CRect rect) : MControl(parent, id, rect, 1, 1, 1) {}
    void DrawControl(HDC& dc, CRect) override
    {
        const int middle = (m_rect.top + m_rect.bottom) / 2;
        MRender::FillSolidRect(dc, m_rect.left, m_rect.top, m_rect.Width(), middle - m_rect.top, RGB(255, 0, 0));
        MRender::FillSolidRect(dc, m_rect.left, middle, m_rect.Width(), m_rect.bottom - middle, RGB(0, 0, 255));
    }
    HBITMAP GetControlDropBitmap() override { return m_manager->GetDropBitmap(this, CRect(0, 0, m_rect.Width(), m_rect.Height()), 0); }
};

} // namespace

// A 32-bit bottom-up DIB section of the part asked for; the drags below deliver the whole.
TEST_F(DropWindow, GetDropBitmapCopiesPartOfTheControl)
{
    RecordingParent parent;
    BandControl control(&parent, 3, CRect(10, 10, 70, 50));
    control.SetManager(&manager);
    EXPECT_EQ(nullptr, manager.GetDropBitmap(nullptr, CRect(0, 0, 5, 5), 0));
    HBITMAP lower = manager.GetDropBitmap(&control, CRect(0, 20, 60, 40), 0);
    DIBSECTION section {};
    ASSERT_EQ(static_cast<int>(sizeof section), GetObjectW(lower, sizeof section, &section));
    EXPECT_EQ(std::make_pair(WORD(32), LONG(20)), std::make_pair(section.dsBmih.biBitCount, section.dsBmih.biHeight));
    auto picture = readBitmap(lower);
    EXPECT_EQ(60, picture->width());
    expectPixels(*picture, { { 30, 0, kLowerBand }, { 30, 19, kLowerBand } });
    DeleteObject(lower);
}

// ---- a real drag between two dialogs

namespace {

// The target overlaps the source's right part from above, so the pointer can stay inside the
// source, where a drag confines it, and still be over the target. Both sit far right on the
// screen, where the windows of test programs running beside this one never go.
const CRect kSourcePlace(1500, 700, 1800, 900);
const CRect kTargetPlace(1700, 750, 1900, 950);
const POINT kOverTarget { 1750, 800 };
const CRect kBand(20, 20, 80, 60);
const CPoint kPress(50, 40);

class ControlDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        source.open(kSourcePlace);
        targetDialog.open(kTargetPlace, WS_EX_TOPMOST);
        band = new BandControl(&source, 5, kBand);
        band->SetManager(source.GetPaintManager());
        band->SetDragDrop(1);
        source.GetPaintManager()->AppendControl(band, 1);
        SetCursorPos(kOverTarget.x, kOverTarget.y);
        ASSERT_TRUE(pumpUntil([&] { return source.painted() && targetDialog.painted(); }));
    }
    void TearDown() override
    {
        ClipCursor(nullptr);
        targetDialog.DestroyWindow();
        source.DestroyWindow();
    }

    // Press on the band, then the moves: a drag runs inside the move that starts it, and with
    // no real button held, OLE's first poll drops where the pointer is. A press that started
    // no drag is released.
    void pressAndMove(const std::vector<CPoint>& moves = { CPoint(60, 50) })
    {
        source.PostMessageW(WM_MOUSEMOVE, 0, MAKELPARAM(kPress.x, kPress.y));
        source.PostMessageW(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kPress.x, kPress.y));
        for (CPoint moved : moves)
            source.PostMessageW(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(moved.x, moved.y));
        source.PostMessageW(WM_LBUTTONUP, 0, MAKELPARAM(kPress.x, kPress.y));
        const int expected = source.markers + 1;
        source.PostMessageW(WM_APP, 0, 0);
        ASSERT_TRUE(pumpUntil([&] { return source.markers == expected; }, 5000));
    }

    PictureDialog source;
    PictureDialog targetDialog;
    BandControl* band { nullptr };
};

// Takes enhanced metafiles only, and keeps what the last one showed.
class MetafileTarget : public CIDropTarget {
public:
    MetafileTarget()
    {
        FORMATETC format = formatOf(CF_ENHMETAFILE, TYMED_ENHMF);
        AddSuportedFormat(format);
    }
    bool OnDrop(FORMATETC*, STGMEDIUM& medium, DWORD*) override
    {
        ENHMETAHEADER header {};
        GetEnhMetaFileHeader(medium.hEnhMetaFile, sizeof header, &header);
        // The bounds are inclusive.
        RECT all { 0, 0, header.rclBounds.right + 1, header.rclBounds.bottom + 1 };
        if (all.right > 0 && all.bottom > 0) {
            shown = std::make_unique<DibCanvas>(all.right, all.bottom);
            PlayEnhMetaFile(shown->dc(), medium.hEnhMetaFile, &all);
        }
        return true;
    }
    std::unique_ptr<DibCanvas> shown;
};

} // namespace

TEST_F(ControlDrag, DeliversThePictureOnceThePointerIsMoreThanTwoPixelsFromThePressHoweverSlowly)
{
    const struct { const char* name; int enabled; std::vector<CPoint> moves; int pictures; } cases[] = {
        { "within two pixels", 1, { CPoint(51, 41), CPoint(52, 42), CPoint(51, 38) }, 0 },
        { "a pixel at a time", 1, { CPoint(51, 40), CPoint(52, 40), CPoint(53, 40) }, 1 },
        { "upwards", 1, { CPoint(50, 39), CPoint(50, 38), CPoint(50, 37) }, 1 },
        { "disabled", 0, { CPoint(60, 50) }, 0 },
    };
    for (const auto& drag : cases) {
        band->SetEnabled(drag.enabled);
        const int before = targetDialog.pictures;
        pressAndMove(drag.moves);
        EXPECT_EQ(drag.pictures, targetDialog.pictures - before) << drag.name;
    }
    EXPECT_EQ(0, source.pictures);
    expectBands(targetDialog.picture, kBand.Size());
    // The drag is over: nothing confines the pointer any more and no button is held.
    RECT clip {};
    GetClipCursor(&clip);
    EXPECT_GT(clip.right - clip.left, kSourcePlace.Width());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ControlDrag, RepeatedDragsLeaveNoGdiObjectsBehind)
{
    // Wine makes the drag cursors on first use, and in a new prefix a window's first paint
    // or the first drop can come late: counted from a steady state, only a leak remains.
    const int before = warmGdiObjects([&] { pressAndMove(); });
    if (before < 0)
        GTEST_SKIP() << "GDI objects are only counted under Wine";
    const int warmed = targetDialog.pictures;
    for (int i = 0; i < 4; ++i)
        pressAndMove();
    EXPECT_EQ(4, targetDialog.pictures - warmed);
    EXPECT_EQ(before, gdiObjectsSettled(before));
}

TEST_F(ControlDrag, AlsoOffersThePictureAsAnEnhancedMetafile)
{
    TestWindow cover(kTargetPlace.Width(), kTargetPlace.Height());
    SetWindowPos(cover.hwnd(), HWND_TOPMOST, kTargetPlace.left, kTargetPlace.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    MetafileTarget metafiles;
    ASSERT_EQ(S_OK, RegisterDragDrop(cover.hwnd(), &metafiles));
    pressAndMove();
    RevokeDragDrop(cover.hwnd());
    ASSERT_NE(nullptr, metafiles.shown);
    EXPECT_EQ(kBand.Size(), CSize(metafiles.shown->width(), metafiles.shown->height()));
    expectPixels(*metafiles.shown, { { 30, 2, kUpperBand }, { 30, 37, kLowerBand } }, 8);
    EXPECT_EQ(0, targetDialog.pictures);
}
