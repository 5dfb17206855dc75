#include "framework/ControlFactory.h"

#include <cwchar>

#include "controls/input/MRichEdit.h"

namespace KOVA {

namespace {

struct FactoryArgs {
    MObject* parent;
    UINT id;
    CRect rect;
    const wchar_t* title;
    int a;
    int b;
};

using Creator = MControl* (*)(const FactoryArgs&);

// How a class's constructor is called with the factory's arguments. Forms C, D and G pin
// the flags the class's constructor ignores or must not be given.
template <class T>
MControl* formA(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a, x.b); }
template <class T>
MControl* formB(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.a, x.b); }
template <class T>
MControl* formC(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.a, 1); }
template <class T>
MControl* formD(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a, 1); }
template <class T>
MControl* formE(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.a); }
template <class T>
MControl* formF(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a); }
template <class T>
MControl* formG(const FactoryArgs& x) { return new T(x.parent, x.id, x.rect, x.title, 1, 1); }

struct Row {
    const wchar_t* name;
    Creator create;
};

// Both tables in compare order. A class gets its row when it is built; until then its name
// is unknown, as any other.
const Row kWindowTable[] = {
    { L"MRichEdit", formA<MRichEdit> },
};

const Row kPanelTable[] = {
    { L"MRichEdit", formA<MRichEdit> },
};

template <size_t N>
Creator find(const Row (&table)[N], const wchar_t* className)
{
    for (const Row& row : table)
        if (wcscmp(row.name, className) == 0)
            return row.create;
    return nullptr;
}

} // namespace

MControl* CreateControlByClassName(ControlTable table, const wchar_t* className, MObject* parent, UINT id, CRect rect,
                                   const wchar_t* title, int a, int b)
{
    if (!className || !*className)
        return nullptr;
    const Creator create = table == ControlTable::Window ? find(kWindowTable, className) : find(kPanelTable, className);
    return create ? create({ parent, id, rect, title, a, b }) : nullptr;
}

} // namespace KOVA
