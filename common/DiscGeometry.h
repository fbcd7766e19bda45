// A CD's size and time in sectors, each figure derived from the ones before
// it. The layout inside a raw sector (sync, header, subheader, user data, EDC,
// ECC) is drawn in tool/SectorCode.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace disc {

// Raw bytes of one sector, as the .bin holds it.
inline constexpr std::size_t SECTOR_SIZE = 2352;

inline constexpr std::uint32_t SECTORS_PER_SECOND = 75;
inline constexpr std::uint32_t SECONDS_PER_MINUTE = 60;
inline constexpr std::uint32_t SECTORS_PER_MINUTE = SECONDS_PER_MINUTE * SECTORS_PER_SECOND;

// The first track's two-second pre-gap is counted in every address but not stored.
inline constexpr std::uint32_t ADDRESS_OFFSET = 2 * SECTORS_PER_SECOND;

// The last address a disc can have is 99:59:74: a hundred minutes of
// addresses, less the pre-gap, is the most an image can hold (449,850).
inline constexpr std::uint64_t MAX_IMAGE_SECTORS = 100ull * SECTORS_PER_MINUTE - ADDRESS_OFFSET;

}  // namespace disc
