// The simulated camera's object table: references handed out as numbers,
// counted, and looked up by kind.
#include "simulator/camera/SimCameraState.h"

namespace SimCamera::Internal {

EdsBaseRef NewObject(TSim& s, TKind kind) {
  const std::uintptr_t id = 0x10000 + (s.NextId++) * 16;
  TObject object;
  object.Kind = kind;
  s.Objects.emplace(id, std::move(object));
  return reinterpret_cast<EdsBaseRef>(id);
}

TObject* Find(TSim& s, EdsBaseRef ref, TKind kind) {
  auto it = s.Objects.find(Id(ref));
  if (it == s.Objects.end() || it->second.Kind != kind) return nullptr;
  return &it->second;
}

bool ReleaseObject(TSim& s, EdsBaseRef ref, EdsUInt32& remaining) {
  auto it = s.Objects.find(Id(ref));
  if (it == s.Objects.end()) return false;
  remaining = static_cast<EdsUInt32>(--it->second.RefCount);
  if (remaining == 0) s.Objects.erase(it);
  return true;
}

}  // namespace SimCamera::Internal
