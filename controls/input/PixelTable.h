#pragma once
// The colours of a control's own drawn pixels, read back once per drawing so that a pick
// answers from the table: a fixed number of columns × rows, column by column (x × rows + y),
// COLORREF values. Pixels outside the table are never filled nor read.
#include "platform/Win32.h"

#include <vector>

#include "framework/BackBuffer.h"

namespace KOVA {

class PixelTable {
public:
    PixelTable(int columns, int rows) : m_columns(columns), m_rows(rows), m_colours(static_cast<size_t>(columns * rows)) {}
    // A copy takes the colours; it reads through a buffer of its own.
    PixelTable(const PixelTable& other) : PixelTable(other.m_columns, other.m_rows) { m_colours = other.m_colours; }
    PixelTable& operator=(const PixelTable& other)
    {
        m_colours = other.m_colours;
        return *this;
    }

    // Reads the top-left width × height pixels of source (as far as the table reaches).
    void Fill(HDC source, int width, int height);
    // 0 outside the table.
    COLORREF At(int x, int y) const;
    // The point clamped into the table.
    COLORREF Nearest(int x, int y) const;
    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }

private:
    int m_columns;
    int m_rows;
    std::vector<COLORREF> m_colours;
    BackBuffer m_reader;
};

} // namespace KOVA
