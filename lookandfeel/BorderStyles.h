#pragma once

namespace orlit {

enum TcxEditBorderStyle { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };

// The container's border styles; the ordinals are those of TcxEditBorderStyle.
enum TcxContainerBorderStyle {
  cbsNone,
  cbsSingle,
  cbsThick,
  cbsFlat,
  cbs3D,
  cbsUltraFlat,
  cbsOffice11
};

constexpr TcxEditBorderStyle ToEditBorderStyle(TcxContainerBorderStyle style) {
  return static_cast<TcxEditBorderStyle>(style);
}
constexpr TcxContainerBorderStyle ToContainerBorderStyle(TcxEditBorderStyle style) {
  return static_cast<TcxContainerBorderStyle>(style);
}

// Pixels one side of the border takes; 0 for a value outside the enumeration.
constexpr int EditBorderWidth(TcxEditBorderStyle style) {
  constexpr int kWidths[] = {0, 1, 2, 2, 2, 1, 1};
  const int index = static_cast<int>(style);
  return index >= 0 && index <= static_cast<int>(ebsOffice11) ? kWidths[index] : 0;
}
constexpr int ContainerBorderWidth(TcxContainerBorderStyle style) {
  return EditBorderWidth(ToEditBorderStyle(style));
}

enum TcxBorder { bLeft, bTop, bRight, bBottom };

// A set of TcxBorder: bits 1 (left), 2 (top), 4 (right) and 8 (bottom).
using TcxBorders = unsigned;
inline constexpr TcxBorders cxBordersAll = 15;

constexpr TcxBorders BorderBit(TcxBorder border) { return 1u << border; }
constexpr bool HasBorder(TcxBorders borders, TcxBorder border) {
  return (borders & BorderBit(border)) != 0;
}

}  // namespace orlit
