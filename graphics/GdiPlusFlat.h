#pragma once
// The GDI+ flat interface as mingw-w64 declares it. Every wrapper class of
// the graphics layer includes this header, never the C++ GDI+ classes.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

using Gdiplus::GpStatus;
using namespace Gdiplus::DllExports;
