#pragma once
// Hosts import KOVA's classes from the DLL; the library's own objects export them, and the
// unit tests link those same objects statically (KOVA_STATIC_LINK), needing neither.
#if defined(KOVA_BUILDING)
#  define KOVA_API __declspec(dllexport)
#elif defined(KOVA_STATIC_LINK)
#  define KOVA_API
#else
#  define KOVA_API __declspec(dllimport)
#endif
