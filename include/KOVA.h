#pragma once
// KOVA: the one header a host includes for the whole public interface of KOVA.dll.
#include "platform/Win32.h"

#include "platform/KovaExport.h"
#include "platform/CString.h"
#include "platform/CPoint.h"
#include "platform/CSize.h"
#include "platform/CRect.h"

#include "framework/Manager.h"
#include "framework/MObject.h"
#include "framework/MControl.h"
#include "framework/PaintManager.h"
