#include "skin/forms/acFormServicesInstall_win.h"

#include "skin/core/acFormServices_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/acDials_win.h"
#include "skin/forms/sFrameAdapter_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/menus/sSkinMenus_win.h"

namespace kv {

void InstallFormServices() {
  TacFormServices& services = FormServices();
  services.RemoveAllGlows = ClearGlows;
  services.AnimateShowControl = AnimateShowControl;
  InstallMenuServices(services);
  InstallDialogServices(services);
  InstallFrameAdapterService(services);
  InstallFrameSizeServices(services);
}

}  // namespace kv
