#pragma once

#include <windows.h>

// The probe's handle counts of a window's process (handle_count.cpp).

// Prints "gdi N user M" for the process of the window top: its GDI objects
// and USER windows; 1 when the process cannot be read.
int CountHandles(HWND top);

// Makes and frees known numbers of objects in this process and checks the
// counts follow them exactly; 0 when they do.
int HandleCountSelfCheck();
