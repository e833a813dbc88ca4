#pragma once
// Window properties with a copy kept in this process. A window procedure that
// finds its object through a property reads it on every message, and under
// Wine each GetProp is a trip to the window server; these read the copy.
// The system property is set and removed too, so whoever looks at the window
// from outside sees the same. A name is compared by its characters.

#include <windows.h>

namespace kv {

// SetProp and a copy; false, and no copy, when the system refuses.
bool SetLocalProp(HWND wnd, const wchar_t* name, HANDLE value);
// The copy; nullptr when this process set none (whatever another set).
HANDLE GetLocalProp(HWND wnd, const wchar_t* name);
// RemoveProp and the copy; what the copy held.
HANDLE RemoveLocalProp(HWND wnd, const wchar_t* name);

}  // namespace kv
