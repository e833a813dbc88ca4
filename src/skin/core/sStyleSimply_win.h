// The forms whose window procedure a form provider has taken over, their
// redraw lock during a skin change, and delivery of a message to every form
// and skinned window of the process.
#pragma once

#include <windows.h>

#include <vector>

#include "classlib/Forms.h"

namespace kv {

class TsSkinManager;
class TacFormProvider;

// In the order the providers were created, but for removals, which move the
// last entry into the freed slot; never owns the forms.
extern std::vector<TCustomForm*> HookedForms;
// Set while the default manager's forms are frozen for an animated skin
// change; painting checks read it.
extern bool GlobalRedrawLock;
// The program file's shell icons (null when the shell has none).
extern HICON ProgramSmallIcon;
extern HICON ProgramLargeIcon;

int AddHookedForm(TCustomForm* form);
// Removes every entry of the form, moving the last entry into each freed
// slot; the list stays without gaps.
void RemoveHookedForm(TCustomForm* form);

// The provider a form answers the toolkit's provider query with; null when
// it has none or no window.
TacFormProvider* ProviderOfForm(TCustomForm* form);

// Freezes the hooked forms skinned by Manager (visible, not minimised, not MDI
// children, not docked). Unlock thaws and repaints exactly the forms that
// were frozen, even when the application was minimised in between.
void LockForms(TsSkinManager* manager);
void UnlockForms(TsSkinManager* manager);

// Lock and unlock as a pair, also when an exception leaves the scope.
class TacFormsLock {
 public:
  explicit TacFormsLock(TsSkinManager* manager, bool active = true);
  ~TacFormsLock();
  TacFormsLock(const TacFormsLock&) = delete;
  TacFormsLock& operator=(const TacFormsLock&) = delete;

 private:
  TsSkinManager* manager_;
  bool active_;
};

// Every form of the application without a provider, then the hooked forms
// and the dialog hook's windows: each exactly once, also when a receiver
// creates or frees forms meanwhile.
void BroadcastToForms(TMessage& message);
void BroadcastToHookedForms(TMessage& message);

// Loads and frees the program icons (the toolkit's start and end do).
void LoadProgramIcons();
void FreeProgramIcons();

}  // namespace kv
