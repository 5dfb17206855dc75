#include "controls/input/PixelTable.h"

#include <algorithm>

#include "framework/MRender.h"

namespace KOVA {

void PixelTable::Fill(HDC source, int width, int height)
{
    const int columns = std::min(width, m_columns);
    const int rows = std::min(height, m_rows);
    // One copy into a DIB of the table's size, read in place: a GetPixel per pixel costs a
    // server round trip each under Wine.
    if (columns <= 0 || rows <= 0 || !m_reader.Ensure(source, m_columns, m_rows))
        return;
    MRender::BitBlt(m_reader.dc(), 0, 0, columns, rows, source, 0, 0);
    ::GdiFlush();
    const auto* bits = reinterpret_cast<const DWORD*>(m_reader.bits());
    for (int y = 0; y < rows; ++y) {
        const DWORD* row = bits + (m_rows - 1 - y) * m_columns;
        for (int x = 0; x < columns; ++x) {
            const DWORD argb = row[x];
            m_colours[static_cast<size_t>(x * m_rows + y)] = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
        }
    }
}

COLORREF PixelTable::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_columns || y >= m_rows)
        return 0;
    return m_colours[static_cast<size_t>(x * m_rows + y)];
}

COLORREF PixelTable::Nearest(int x, int y) const
{
    return At(std::clamp(x, 0, m_columns - 1), std::clamp(y, 0, m_rows - 1));
}

} // namespace KOVA
