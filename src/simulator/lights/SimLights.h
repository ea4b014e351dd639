// What the booth's lights are doing now, shared by the simulated board and the
// simulated camera of one process.
//
// The board speaks for the lights: it claims them when it is made (all off, as
// a board powers up), sets them from each light packet it receives, and gives
// them up when it goes. With no board of this process speaking for them (a
// board in another process, as with sulo_sim_boards, or none at all) the
// camera sees no light information and shows its neutral scene.
//
// Thread-safe, never blocks beyond a short lock, never throws; standard
// library only, as the camera's stand-in must stay free of the toolkit.
#pragma once

#include <cstdint>
#include <optional>

namespace SimLights {

// The three channels' levels, as the light packet carries them.
struct TLevels {
  std::uint8_t WarmWhite = 0;
  std::uint8_t White = 0;
  std::uint8_t UV = 0;
  friend bool operator==(const TLevels&, const TLevels&) = default;
};

// The lights as the board speaking for them last set them; nothing when no
// board of this process speaks for them.
std::optional<TLevels> Current();

// A board claims the lights, all off, and answers the token it speaks with.
std::uint64_t Claim();
// The board's light packet; a board that had given way speaks for them again.
void Set(std::uint64_t token, TLevels levels);
// The board goes: the lights are unknown again unless another board has
// spoken for them since.
void Release(std::uint64_t token);

}  // namespace SimLights
