#pragma once
// What the progress bar and the progress ring share: a value from 0 to a maximum that the
// host sets, a background image from the window's image cache, and the text "title, value,
// percent sign" they show. Neither takes input nor sends notifications.
//
// Threads: the bar's marquee steps the value on the fast-timer thread, so the value and the
// maximum are atomics; everything else belongs to the GUI thread.
#include "platform/Win32.h"

#include <atomic>

#include "framework/MControlFont.h"
#include "platform/CString.h"
#include "platform/KovaExport.h"

namespace KOVA {

struct ImgResInfo;

class KOVA_API ProgressBase : public MControlFont {
public:
    ProgressBase(MObject* parent, UINT id, CRect rect, int visible, int enabled);
    // A copy takes the values; the images stay the window cache's.
    ProgressBase(const ProgressBase& other);
    ProgressBase& operator=(const ProgressBase& other);

    // Only while enabled: above the maximum the maximum, a negative value ignored. Returns
    // the current value.
    int SetProgress(int progress);
    int GetProgress() const { return m_progress.load(); }
    // Stored only: the value is not brought back into range.
    void SetMaxProgress(int maximum) { m_max.store(maximum); }
    int GetMaxProgress() const { return m_max.load(); }
    // A skin file, or a "PNG" resource of the host module. False without a paint manager or
    // without the image.
    bool SetBackGroundImage(CString file);
    bool SetBackGroundImage(UINT resourceId);

protected:
    // The title, the value and "%" when the maximum is 100.
    CString ProgressText(int progress) const;
    // The share of length that progress fills: 0 .. length, 0 for a maximum below 1.
    int FilledLength(int progress, int length) const;
    // Keeps a cached image and its size in the given fields; repaints when it took one.
    bool TakeImage(const ImgResInfo* record, Gdiplus::Image*& image, int& width, int& height);
    const ImgResInfo* LoadCached(const CString& file) const;
    const ImgResInfo* LoadCached(UINT resourceId) const;
    void Repaint() { UpdateControl(1, 0); }

    std::atomic<int> m_progress { 0 };
    std::atomic<int> m_max { 100 };
    Gdiplus::Image* m_backImage { nullptr };
    int m_backWidth { 0 };
    int m_backHeight { 0 };

private:
    void copyValuesFrom(const ProgressBase& other);
};

} // namespace KOVA
