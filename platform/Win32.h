#pragma once
// The system headers every part of the library sees, in the one order they compile in.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
