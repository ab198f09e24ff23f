#pragma once
// Value tables (module SubMain): copying a table, laying a file's values over a table, and
// listing the codes in which two tables differ. Each walks from index 0 to the last index of
// its first table; a shorter second table is a subscript error.
#include <cstdint>
#include <span>
#include <string>

namespace SubMain {

// The list argument of gblnFileDataCopy that asks for no list: one NUL character.
inline const std::string kNoList(1, '\0');

// dst(i) = src(i) for every index of src.
bool gblnDataCopy(std::span<const uint8_t> rbyteSource, std::span<uint8_t> rbyteDest);
// dest(i) = values(i) for every value that is not -1 (6 Overflow outside 0 to 255); the list
// receives the codes copied in ascending order, unless it holds kNoList.
bool gblnFileDataCopy(std::span<const int16_t> rintValues, std::span<uint8_t> rbyteDest, std::string& rstrList);
// The codes whose values differ, ordered by section and key, and their number.
bool gblnCheckChangeField(std::span<const uint8_t> rbyteFirst, std::span<const uint8_t> rbyteSecond,
                          std::string& rstrList, int32_t& rlngCount);

}  // namespace SubMain
