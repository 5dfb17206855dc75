#include "framework/ControlFactory.h"

#include <cwchar>

namespace KOVA {

namespace {

unsigned bitOf(ControlTable table)
{
    return table == ControlTable::Window ? kWindowTable : kPanelTable;
}

// Filled on the first look-up, whichever thread makes it; read-only after.
const ControlRows& familyRows()
{
    static const ControlRows rows = [] {
        ControlRows filled;
        AddControlFamilies(filled);
        return filled;
    }();
    return rows;
}

} // namespace

ControlMaker ControlRows::Find(ControlTable table, const wchar_t* className) const
{
    const unsigned bit = bitOf(table);
    for (const ControlRow& row : m_rows)
        if ((row.tables & bit) && wcscmp(row.name, className) == 0)
            return row.make;
    return nullptr;
}

std::vector<const wchar_t*> ControlRows::Names(ControlTable table) const
{
    const unsigned bit = bitOf(table);
    std::vector<const wchar_t*> names;
    for (const ControlRow& row : m_rows)
        if (row.tables & bit)
            names.push_back(row.name);
    return names;
}

MControl* CreateControlByClassName(ControlTable table, const wchar_t* className, MObject* parent, UINT id, CRect rect,
                                   const wchar_t* title, int a, int b)
{
    if (!className || !*className)
        return nullptr;
    const ControlMaker make = familyRows().Find(table, className);
    return make ? make({ parent, id, rect, title, a, b }) : nullptr;
}

std::vector<const wchar_t*> ControlClassNames(ControlTable table)
{
    return familyRows().Names(table);
}

} // namespace KOVA
