// Makes a frame (TFrame) look like a skinned group box: the adapter owns the
// frame's skin data, stands in front of the frame's window procedure, paints
// the frame's background and border from the skin, gives the frame's
// children their background and answers the toolkit's commands for it.
// The control adapter puts one on every frame of a skinned form.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/Forms.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"

namespace kv {

// The control-type code of a frame adapter's skin data.
inline constexpr int FrameAdapterControlType = 226;

class TsFrameAdapter : public TComponent {
 public:
  // On anything but a frame it says so and stays inert.
  explicit TsFrameAdapter(TComponent* owner);
  ~TsFrameAdapter() override;
  void AfterConstruction();

  TsCommonData* SkinData() const { return skinData_.get(); }
  TCustomFrame* Frame = nullptr;
  TacScrollWnd* ScrollWnd = nullptr;

  // The frame's window procedure while the adapter serves it.
  void FrameWndProc(TMessage& message);

 protected:
  void Loaded() override;

 private:
  bool SkinCommand(TMessage& m);
  void SkinnedMessage(TMessage& m);
  void PaintFrameWindow(HDC dc);
  void PaintFrameContent(HDC dc);
  void PrepareFrameCache();
  void SkinFramePopups();
  void RedrawFrame(UINT flags);
  bool Usable() const;
  void CallSaved(TMessage& m) { savedWndProc_.CallPrevious(m); }

  std::unique_ptr<TsCommonData> skinData_;
  TWindowProcHook savedWndProc_;
  // Whatever goes to the frame's window may free the adapter.
  std::shared_ptr<char> life_ = std::make_shared<char>();
};

// Puts the frame adapter into the form services.
void InstallFrameAdapterService(TacFormServices& services);

}  // namespace kv
