#include "framework/PaintManager.h"

#include <algorithm>

#include "framework/AppPaths.h"
#include "framework/ControlFactory.h"
#include "framework/DispatchScope.h"
#include "framework/MControl.h"
#include "framework/MRender.h"
#include "framework/Manager.h"

namespace KOVA {

namespace {
bool isFocusable(const MControl* control)
{
    return control && control->IsVisible() && control->IsEnabled() && control->IsTabStop();
}

} // namespace

PaintManager::~PaintManager()
{
    // No tick may reach a paint manager that is half destroyed.
    KillMTimer();
    destroyTooltipWindow();
    m_balloon->reset();
    if (*m_dragBitmap) {
        DeleteObject(*m_dragBitmap);
        *m_dragBitmap = nullptr;
    }
    DestroyData();
    deleteBackgroundImage();
    detachNotedControls();
    // Removed inside a dispatch that outlives this paint manager: deleted without it.
    DispatchScope::ForgetManager(this);
}

void PaintManager::NoteControl(MControl* control)
{
    if (!control)
        return;
    ScopedLock lock(m_notedLock);
    m_notedControls->insert(control);
}

void PaintManager::detachNotedControls()
{
    std::unordered_set<MControl*> noted;
    {
        ScopedLock lock(m_notedLock);
        noted.swap(*m_notedControls);
    }
    for (MControl* control : noted)
        control->ForgetManager(this);
}

bool PaintManager::isLiveWindow() const
{
    return m_hWnd && ::IsWindow(m_hWnd);
}

bool PaintManager::IsGuiThread() const
{
    // The window's thread is noted when it is bound: every repaint request asks, and asking
    // the system each time costs a trip to the Wine server.
    return m_guiThread == 0 || m_guiThread == ::GetCurrentThreadId();
}

// ---- binding and teardown

void PaintManager::Init(HWND window, MWindow* owner)
{
    if (!window || !::IsWindow(window))
        return;
    if (window != m_hWnd || !*m_hDC) {
        releaseWindowDC();
        m_hWnd = window;
        m_guiThread = ::GetWindowThreadProcessId(window, nullptr);
        *m_hDC = ::GetDC(window);
    }
    // Nothing posted to an earlier window may stand in for a message this one never got.
    m_posted->Clear();
    m_owner = owner;
    InitDragDrop();
    loadFontFolder();
    *m_initialised = 1;
    SetScrollResID(102, 101);
    // The library's font, for controls that draw their text with GDI.
    AddGDITempFont(106);
}

void PaintManager::OnDestroyMessage(HWND window)
{
    if (window == m_hWnd)
        DestroyData();
}

void PaintManager::DestroyData()
{
    // While the window still exists: OLE must let go of this target before it dies with us.
    RevokeDropTarget();
    if (!*m_initialised)
        return;
    // Timers first: a tick must not run into controls or a DC that are already gone.
    KillMTimer();
    ClearTimers();
    m_posted->Clear();
    releaseWindowDC();
    deleteBackgroundImage();
    ClearAreaControls();
    ClearControls();
    ClearImgResInfo();
    ClearTempFont();
    *m_initialised = 0;
}

void PaintManager::DetachWindow(HWND window)
{
    if (window != m_hWnd)
        return;
    RevokeDropTarget();
    KillMTimer();
    ClearTimers();
    m_posted->Clear();
    releaseWindowDC();
}

void PaintManager::releaseWindowDC()
{
    if (*m_hDC && m_hWnd)
        ::ReleaseDC(m_hWnd, *m_hDC);
    *m_hDC = nullptr;
}

void PaintManager::deleteBackgroundImage()
{
    delete *m_backgroundImage;
    *m_backgroundImage = nullptr;
    m_backgroundWidth = 0;
    m_backgroundHeight = 0;
}

// ---- window accessors

void PaintManager::GetClientRect(CRect& rect)
{
    ::GetClientRect(m_hWnd, &rect);
}

void PaintManager::GetWindowRect(CRect& rect)
{
    ::GetWindowRect(m_hWnd, &rect);
}

void PaintManager::GetClientSize(int& width, int& height)
{
    CRect client(0, 0, 0, 0);
    if (isLiveWindow())
        ::GetClientRect(m_hWnd, &client);
    width = client.Width();
    height = client.Height();
}

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return isLiveWindow() ? ::SendMessageW(m_hWnd, msg, wParam, lParam) : 0;
}

LRESULT PaintManager::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(msg, wParam, lParam);
}

void PaintManager::SetWindowMaxSize(int width, int height)
{
    m_maxWidth = width;
    m_maxHeight = height;
}

void PaintManager::SetWindowMixSize(int width, int height)
{
    m_minWidth = width;
    m_minHeight = height;
}

void PaintManager::GetWindowMinSize(int& width, int& height) const
{
    width = m_minWidth;
    height = m_minHeight;
}

void PaintManager::GetWindowManSize(int& width, int& height) const
{
    GetWindowMinSize(width, height);
}

HWND PaintManager::SetCapture()
{
    if (!isLiveWindow())
        return nullptr;
    m_captureAsked = 1;
    return takeCapture();
}

HWND PaintManager::takeCapture()
{
    if (!isLiveWindow())
        return nullptr;
    m_captured = 1;
    return ::SetCapture(m_hWnd);
}

BOOL PaintManager::ReleaseCapture()
{
    m_captured = 0;
    m_captureAsked = 0;
    return isLiveWindow() ? ::ReleaseCapture() : FALSE;
}

void PaintManager::SetScrollResID(UINT vertical, UINT horizontal)
{
    m_scrollVID = vertical;
    m_scrollHID = horizontal;
}

// ---- background

int PaintManager::adoptBackground(Gdiplus::Image* image)
{
    deleteBackgroundImage();
    if (image && image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        image = nullptr;
    }
    if (!image)
        return 0;
    *m_backgroundImage = image;
    m_backgroundWidth = static_cast<int>(image->GetWidth());
    m_backgroundHeight = static_cast<int>(image->GetHeight());
    return 1;
}

int PaintManager::LoadBKImage(CString file)
{
    return adoptBackground(MRender::LoadImageFromFile(GetSkinPath() + file));
}

int PaintManager::LoadBKImage(UINT id, CString type)
{
    return adoptBackground(MRender::LoadImageFromIDResource(id, type, Manager::GetInstance()));
}

void PaintManager::SetBackMode(enumBackMode mode, int border)
{
    m_backMode = mode;
    m_backBorder = border;
}

void PaintManager::SetBackColor(COLORREF back, COLORREF border)
{
    m_backColor = back;
    m_borderColor = border;
}

// ---- control lists

MControl* PaintManager::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int a, int b)
{
    MControl* control = CreateControlByClassName(ControlTable::Window, className, parent, id, rect, title, a, b);
    if (!control)
        return nullptr;
    control->SetManager(this);
    if (kind == 0 || kind == 1)
        AppendControl(control, static_cast<int>(kind));
    return control;
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                   const wchar_t* title, int a, int b)
{
    return CreateControl(0, parent, className, id, rect, title, a, b);
}

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* title, int a, int b)
{
    return CreateControl(1, parent, className, id, rect, title, a, b);
}

void PaintManager::AppendControl(MControl* control, int kind)
{
    if (!control)
        return;
    if (kind == 0) {
        ScopedLock lock(m_areasLock);
        m_areas->push_back(control);
    } else {
        ScopedLock lock(m_controlsLock);
        m_controls->push_back(control);
    }
}

MControl* PaintManager::GetControl(UINT id)
{
    for (auto* list : { &m_controls, &m_areas }) {
        ScopedLock lock(list == &m_controls ? m_controlsLock : m_areasLock);
        for (MControl* control : list->get()) {
            if (!control)
                continue;
            if (control->GetControlID() == id)
                return control;
            if (MControl* found = control->GetControl(id))
                return found;
        }
    }
    return nullptr;
}

void PaintManager::RemoveControl(MControl* control)
{
    {
        ScopedLock lock(m_controlsLock);
        auto& list = *m_controls;
        auto found = std::find(list.begin(), list.end(), control);
        if (found == list.end() || !control)
            return;
        list.erase(found);
    }
    MControl::dispose(control);
}

bool PaintManager::takeControl(MControl* control)
{
    for (auto* list : { &m_controls, &m_areas }) {
        ScopedLock lock(list == &m_controls ? m_controlsLock : m_areasLock);
        auto& controls = list->get();
        auto found = std::find(controls.begin(), controls.end(), control);
        if (found != controls.end()) {
            controls.erase(found);
            return true;
        }
    }
    return false;
}

WalkCopy PaintManager::controlsNow()
{
    return WalkCopy(*m_controls, m_controlsLock);
}

void PaintManager::clearList(std::vector<MControl*>& list, CriticalSection& lock)
{
    std::vector<MControl*> doomed;
    {
        ScopedLock guard(lock);
        doomed.swap(list);
    }
    for (MControl* control : doomed)
        MControl::dispose(control);
}

void PaintManager::ClearAreaControls()
{
    clearList(*m_areas, m_areasLock);
}

void PaintManager::ClearControls()
{
    clearList(*m_controls, m_controlsLock);
}

void PaintManager::ClearAllControls()
{
    ClearAreaControls();
    ClearControls();
}

void PaintManager::ForgetControl(MControl* control)
{
    if (!control)
        return;
    {
        ScopedLock lock(m_notedLock);
        m_notedControls->erase(control);
    }
    if (*m_hoverControl == control) {
        *m_hoverControl = nullptr;
        if (m_captured) {
            ReleaseCapture();
            m_leftButtonDown = 0;
        }
    }
    if (*m_focusControl == control)
        *m_focusControl = nullptr;
    if (m_tooltipCtrlID != 0 && m_tooltipCtrlID == static_cast<int>(control->GetControlID()))
        ClearTooltip();
    while (DeleteFSTimer(control)) {
    }
    m_posted->Forget(control);
    KillTimer(control);
    if (*m_caretControl == control) {
        *m_caretOwner = nullptr;
        *m_caretControl = nullptr;
        ShowCaret(0); // a caret of no one must not keep blinking
    }
}

void PaintManager::ForgetControlTree(MControl* root)
{
    if (!root)
        return;
    ForgetControl(root);
    for (MControl* child : root->GetAreas())
        ForgetControlTree(child);
    for (MControl* child : root->GetControls())
        ForgetControlTree(child);
}

void PaintManager::OrphanControls(const MObject* window)
{
    const auto orphan = [window](MControl* control) {
        if (control && control->GetParantObject() == window)
            control->SetParent(nullptr);
    };
    for (auto* list : { &m_areas, &m_controls }) {
        ScopedLock lock(list == &m_controls ? m_controlsLock : m_areasLock);
        std::for_each(list->get().begin(), list->get().end(), orphan);
    }
    {
        ScopedLock lock(m_notedLock);
        std::for_each(m_notedControls->begin(), m_notedControls->end(), orphan);
    }
    DispatchScope::ForgetParent(window);
}

// ---- focus

void PaintManager::SetFocusControl(MControl* control)
{
    if (control == *m_focusControl)
        return;
    Frame frame(*this);
    if (MControl* old = *m_focusControl)
        old->SetControlFocus(0);
    if (!frame.Alive())
        return;
    // The old control's focus-loss handler may have removed the new one (or the old one).
    if (control && !control->IsRemoved())
        control->SetControlFocus(1);
    if (!frame.Alive())
        return;
    *m_focusControl = (control && !control->IsRemoved()) ? control : nullptr;
}

MControl* PaintManager::nextFocusable(Walk direction)
{
    ScopedLock lock(m_controlsLock);
    std::vector<MControl*> order = *m_controls;
    if (direction == Walk::Backward)
        std::reverse(order.begin(), order.end());
    MControl* focus = *m_focusControl;
    bool passed = false;
    for (MControl* control : order) {
        if (control && control == focus) {
            passed = true;
            continue;
        }
        if (passed && isFocusable(control))
            return control;
    }
    // Wrap around; a focus control outside this list (inside a panel) gives nothing.
    if (!focus)
        passed = true;
    for (MControl* control : order) {
        if (!*m_hoverControl && control)
            *m_hoverControl = control;
        if (passed && isFocusable(control))
            return control;
    }
    return nullptr;
}

MControl* PaintManager::GetNextFocusableControl()
{
    return nextFocusable(Walk::Forward);
}

MControl* PaintManager::GetPrevFocusableControl()
{
    return nextFocusable(Walk::Backward);
}

} // namespace KOVA
