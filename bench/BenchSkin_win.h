// What the skinned Windows benchmarks start from: a manager holding our
// default skin as its one stored skin.
#pragma once

#include "skin/core/sSkinManager_win.h"

inline constexpr const char* BenchSkinName = "Vista (internal)";

// Loaded at once unless `load` is false: the caller then sets up the manager
// first and loads with SetSkinName(BenchSkinName).
inline kv::Owned<kv::TsSkinManager> ManagerWithDefaultSkin(bool load = true) {
  kv::Owned<kv::TsSkinManager> manager = kv::CreateOwned<kv::TsSkinManager>();
  manager->SetSkinDirectory("c:\\NoSkins");
  kv::TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = BenchSkinName;
  stored.Data = kv::ResourceBytes(kv::DefaultSkinResource);
  if (load) manager->SetSkinName(BenchSkinName);
  return manager;
}
