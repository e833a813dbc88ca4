// Sending, querying and broadcasting the toolkit command message, with the
// few window and control helpers that go with it.
#pragma once

#include <windows.h>

#include <memory>

#include "base/Bitmap.h"
#include "classlib/Forms.h"
#include "skin/core/sMessages.h"

namespace kv {

class TacFormProvider;

inline constexpr WPARAM CommandWParam(unsigned code, unsigned argument = 0) {
  return MAKEWPARAM(argument, code);
}

// Commands whose LParam is an address in the sender's memory: a record to
// fill, a picture, a control. The toolkit sends them only within its own
// thread, so an address is taken from nowhere else.
bool CommandCarriesAddress(unsigned code);
// True when m is such a command that another thread or process sent: it is
// answered 0 and nothing is done with it. Every place that handles these
// commands asks this first.
bool RefuseForeignAddress(TMessage& m);
// Drops such commands posted to any window of the calling thread (set up
// by every skinned part as it is made).
void FilterPostedAddressCommands();
// The address is the toolkit's own while the scope lasts: the toolkit may
// ask a question while it handles a message another thread sent, and its
// own address is taken then too.
class TOwnAddress {
 public:
  explicit TOwnAddress(LPARAM address);
  ~TOwnAddress();
  TOwnAddress(const TOwnAddress&) = delete;
  TOwnAddress& operator=(const TOwnAddress&) = delete;
  static bool Holds(LPARAM address);

 private:
  LPARAM address_;
  const TOwnAddress* outer_;
};

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

// To each child control the parent has when the call starts, in order,
// skipping one freed meanwhile and stopping at the first being destroyed:
// Perform for a child without a window or handle, SendMessage for a skinned
// window; an unskinned window is searched for skinned children instead.
void BroadcastToChildren(TWinControl* parent, TMessage& message);
// The message to the message entry of the form's first provider component
// that is not being destroyed; nothing when it has none.
void SendToProviderOfForm(TCustomForm* form, TMessage& message);
// To the direct child windows of wnd.
void SendToChildWindows(HWND wnd, TMessage& message);
void ResumeChildrenPainting(TWinControl* parent);
// Paints the windowless children of a skinned parent into DC, each over the
// parent's own background (an opaque one over its colour), so that a
// see-through child never shows what the DC held before. A child whose place
// is not visible in DC is told its paint was skipped.
void PaintChildGraphics(TWinControl* parent, HDC dc);
void ResumeChildWindowsPainting(HWND wnd);

bool ControlReadyToPaint(TControl* control);
TCustomForm* OwnerForm(TComponent* component);
TCustomFrame* OwnerFrame(TComponent* component);
// DrawText flags as a right-to-left control wants them: a mirroring one
// swaps left and right alignment (centre stays), one that reads right to
// left adds DT_RTLREADING. Unchanged for nil or a left-to-right control.
UINT DrawTextBiDiModeFlags(const TControl* control, UINT flags);
// The alignment's DrawText flags with DT_EXPANDTABS and DT_VCENTER, adjusted
// for the control's reading order.
UINT AlignmentTextFlags(TControl* control, TAlignment alignment);
void ClientRectInWindow(HWND wnd, RECT& rect);
int AlignedChildrenSize(TWinControl* parent, TAlign align, bool countGraphic);
HWND TopParentWindow(HWND wnd);
void CursorPoint(POINT& point);

}  // namespace kv

namespace kv {

// A window that paints nothing at all, so that it keeps showing what was on
// the screen under it: the cover of an animated show.
class TOutputWindow : public TCustomControl {
 public:
  explicit TOutputWindow(TComponent* owner);
  ~TOutputWindow() override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void Dispatch(TMessage& message) override;
};

// The screen under a control while it is being shown animated, and the one
// cover window over it; both live until the next cover animation ends.
extern std::unique_ptr<TBitmap> SnapshotBitmap;
extern TOutputWindow* SnapshotCover;

// Takes the screen under the windowed control (anew when the last snapshot
// has another size) and shows the cover over it.
void ShowSnapshotCover(TWinControl* control);
// Puts Cover directly above Control among their parent's children.
void SetChildOrderAfter(TWinControl* cover, TWinControl* control);
// The control and its windowed children painted into Bmp at (X, Y): a
// control that answers the skinned query by WM_PRINT with its frame, its
// children at their places in its client area, an MDI form's children
// first; a hidden control as its parent's background. (X, Y) is where the
// control's window rectangle goes. Without a provider's border form the
// picture is clipped to the control; with one, a 32-bit picture's client
// area is made opaque and the frame keeps its own alpha.
void PaintControlToBitmap(TBitmap* bmp, TControl* control, int x, int y,
                          TacFormProvider* provider = nullptr);
// Fades the control's new look in over the screen that was under it, in
// (Time and 0xFFFF) div 8 steps of 8 ms, at most about a second; the cover
// is gone afterwards and the control redrawn.
void AnimateShowControl(TWinControl* control, unsigned time);

}  // namespace kv
