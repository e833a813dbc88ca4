// Sending, querying and broadcasting the toolkit command message, with the
// few window and control helpers that go with it.
#pragma once

#include <windows.h>

#include "classlib/Forms.h"
#include "skin/core/sMessages.h"

namespace kv {

inline constexpr WPARAM CommandWParam(unsigned code, unsigned argument = 0) {
  return MAKEWPARAM(argument, code);
}

LRESULT SendCommandToWindow(HWND wnd, unsigned code, LPARAM lParam);
// Perform for a control without a window; SendMessage for a windowed one
// only while it has a handle and is not being destroyed (no handle is ever
// created); 0 otherwise.
LRESULT SendCommandToControl(TControl* control, unsigned code, LPARAM lParam);
LRESULT QueryControlCommand(TControl* control, unsigned code);
bool WindowAnswersCommand(HWND wnd, unsigned code);
void AskFormToAdaptControl(TControl* control);
TColor QueryControlBgColor(TControl* control);
TColor QueryWindowBgColor(HWND wnd);

// To each child control in order (stopping at the first being destroyed):
// Perform for a child without a window or handle, SendMessage for a skinned
// window; an unskinned window is searched for skinned children instead.
void BroadcastToChildren(TWinControl* parent, TMessage& message);
// To the direct child windows of wnd.
void SendToChildWindows(HWND wnd, TMessage& message);
void ResumeChildrenPainting(TWinControl* parent);
void ResumeChildWindowsPainting(HWND wnd);

bool ControlReadyToPaint(TControl* control);
TCustomForm* OwnerForm(TComponent* component);
TCustomFrame* OwnerFrame(TComponent* component);
UINT AlignmentTextFlags(TControl* control, TAlignment alignment);
void ClientRectInWindow(HWND wnd, RECT& rect);
int AlignedChildrenSize(TWinControl* parent, TAlign align, bool countGraphic);
HWND TopParentWindow(HWND wnd);
void CursorPoint(POINT& point);

// UXTHEME's SetWindowTheme, looked up once; null when the system has none.
using TSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
TSetWindowTheme SetWindowThemeEntry();

}  // namespace kv
