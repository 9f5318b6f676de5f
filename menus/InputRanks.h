#pragma once

// Ranks of the layers that own input while open (engine::ModalStack): the higher one on top,
// whatever order they opened in. The views and the bar own input when none is open.
namespace InputRanks {
constexpr int kTable = 1;
constexpr int kMenu = 2;  // a picker is a menu pushed on the same stack
constexpr int kAlert = 3;
constexpr int kHelp = 4;
}  // namespace InputRanks
