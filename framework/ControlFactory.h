#pragma once
// The one place that turns a class name into a new control: the window factory
// (PaintManager::CreateControl) and the panel factory (MPanel::CreateControl) both ask it,
// each for its own table of names.
//
// The framework knows no control class: it holds the tables, and each family of controls
// brings its own rows (its ...ControlRows.cpp). The library's families module
// (families/ControlFamilies.cpp) hands every family the tables once, before the first name is
// looked up.
#include "platform/Win32.h"

#include <cstddef>
#include <vector>

#include "platform/CRect.h"

namespace KOVA {

class MControl;
class MObject;

enum class ControlTable { Window, Panel };

// The factory's arguments, as the constructor forms take them.
struct ControlArgs {
    MObject* parent;
    UINT id;
    CRect rect;
    const wchar_t* title;
    int a;
    int b;
};

using ControlMaker = MControl* (*)(const ControlArgs&);

// How a class's constructor is called with the factory's arguments. Forms C, D and G pin the
// flags the class's constructor ignores or must not be given.
namespace form {
template <class T>
MControl* A(const ControlArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a, x.b); }
template <class T>
MControl* B(const ControlArgs& x) { return new T(x.parent, x.id, x.rect, x.a, x.b); }
template <class T>
MControl* C(const ControlArgs& x) { return new T(x.parent, x.id, x.rect, x.a, 1); }
template <class T>
MControl* D(const ControlArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a, 1); }
template <class T>
MControl* E(const ControlArgs& x) { return new T(x.parent, x.id, x.rect, x.a); }
template <class T>
MControl* F(const ControlArgs& x) { return new T(x.parent, x.id, x.rect, x.title, x.a); }
template <class T>
MControl* G(const ControlArgs& x) { return new T(x.parent, x.id, x.rect, x.title, 1, 1); }
} // namespace form

// Which tables know a row's name.
enum ControlTables : unsigned {
    kWindowTable = 1,
    kPanelTable = 2,
    kBothTables = kWindowTable | kPanelTable,
};

struct ControlRow {
    const wchar_t* name;
    unsigned tables;
    ControlMaker make;
};

// The rows of both tables, in the order they were added.
class ControlRows {
public:
    template <size_t N>
    void Add(const ControlRow (&rows)[N])
    {
        m_rows.insert(m_rows.end(), rows, rows + N);
    }
    // The maker of the first row the table knows by exactly this name (case and blanks
    // included), else null.
    ControlMaker Find(ControlTable table, const wchar_t* className) const;
    // The names the table knows, in the order the families added them.
    std::vector<const wchar_t*> Names(ControlTable table) const;

private:
    std::vector<ControlRow> m_rows;
};

// Adds the rows of every family of controls. Defined by the families module, above the
// framework: the framework calls it once, at the first look-up.
void AddControlFamilies(ControlRows& rows);

// A new control of the named class built from (parent, id, rect, title, a, b) in the way the
// table gives for that name; attached to nothing and in no list. Null for a null, empty or
// unknown name.
MControl* CreateControlByClassName(ControlTable table, const wchar_t* className, MObject* parent, UINT id,
                                   CRect rect, const wchar_t* title, int a, int b);

// Every class name the table knows, in its order: for code that goes over all classes.
std::vector<const wchar_t*> ControlClassNames(ControlTable table);

} // namespace KOVA
