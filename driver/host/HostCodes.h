// The host's codes that the driver, the reference host and the tools share: the kinds of the
// nodes of its field tree and the units engine's codes that are used. Plain C++, so that the
// native builds of the tools' readers use them too.
#pragma once

namespace hostcodes {

// IvnField's kind of node.
inline constexpr long kClientNode = 0x100;
inline constexpr long kFarmNode = 0x80;
inline constexpr long kFieldNode = 0x40;
inline constexpr long kCropZoneNode = 0x20;

// Units-engine codes (0: no unit).
inline constexpr long kNoUnit = 0;
inline constexpr long kLitre = 22;
inline constexpr long kMetre = 33;
inline constexpr long kHectare = 66;
inline constexpr long kDegree = 277;

}  // namespace hostcodes
