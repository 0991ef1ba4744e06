#pragma once
// The drawing commands of a metafile in one form for both flavours: the readers decode plain
// (16-bit) and enhanced (32-bit) records into them, the player draws them and the writers encode
// them in either flavour. Coordinates are the file's logical units; colours are 0x00BBGGRR
// values as the files hold them.

#include "imaging/core/Color.h"
#include "imaging/core/Types.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kestrel {

enum class TMetaOp : uint8_t {
  Unknown,  // a record the player does not know: skipped when drawing, not convertible
  NoEffect, // comments, escapes and settings without visible effect here: skipped, and dropped
            // by a conversion
  // Mapping: Points[0] holds the origin or extent; scaling has the numerators in Points[0] and
  // the denominators in Points[1]. Value is the mapping mode.
  SetMapMode,
  SetWindowOrg,
  SetWindowExt,
  SetViewportOrg,
  SetViewportExt,
  OffsetWindowOrg,
  OffsetViewportOrg,
  ScaleWindowExt,
  ScaleViewportExt,
  SetWorldTransform,    // Transform
  ModifyWorldTransform, // Transform, Value = mode (1 identity, 2 left multiply, 3 right)
  // Device-context state; Value holds the mode, colour or count.
  SetBkMode,
  SetBkColor,
  SetTextColor,
  SetTextAlign,
  SetPolyFillMode,
  SetRop2,
  SetArcDirection,
  SaveDC,
  RestoreDC,
  // Objects, named by Handle: a plain metafile's slot + 1, an enhanced metafile's own index, or
  // kStockObject | n for the stock objects.
  CreatePen,
  CreateBrush,
  CreateFont,
  CreatePalette,
  CreateOther, // an object the player does not use (a region, an old-style pattern brush)
  SelectObject,
  DeleteObject,
  SelectPalette,
  RealizePalette,
  // Clipping: rectangles in Box (logical units); SetClipRegion has device-unit Rects combined by
  // Value (1 and, 2 or, 3 xor, 4 difference, 5 copy; copy with no rectangles removes the clip).
  IntersectClipRect,
  ExcludeClipRect,
  SetClipRegion,
  // Drawing.
  MoveTo,      // Points[0]
  LineTo,      // Points[0]
  Polyline,    // Points
  PolylineTo,  // Points
  Polygon,     // Points
  PolyPolygon, // Points, Counts
  PolyPolyline,
  PolyBezier,
  PolyBezierTo,
  Rectangle, // Box
  RoundRect, // Box, Points[0] = corner ellipse width and height
  Ellipse,   // Box
  Arc,       // Box, Points[0] = start, Points[1] = end
  ArcTo,
  Pie,
  Chord,
  SetPixel, // Points[0], Value = colour
  TextOut,  // Points[0] = reference point, Text, Dx, TextOptions, Box = clip/opaque rectangle
  PatBlt,   // Box = destination, Rop
  Blt,      // BltKind, Box = destination, Source, Rop, Usage, BitmapInfo and Bits
  // Paths (enhanced only).
  BeginPath,
  EndPath,
  AbortPath,
  CloseFigure,
  FillPath,
  StrokePath,
  StrokeAndFillPath,
  SelectClipPath, // Value = combination mode as SetClipRegion
};

constexpr uint32_t kStockObject = 0x80000000u;
// Stock objects the player knows.
enum TStockObject : uint32_t {
  WHITE_BRUSH = 0,
  LTGRAY_BRUSH = 1,
  GRAY_BRUSH = 2,
  DKGRAY_BRUSH = 3,
  BLACK_BRUSH = 4,
  NULL_BRUSH = 5,
  WHITE_PEN = 6,
  BLACK_PEN = 7,
  NULL_PEN = 8,
  OEM_FIXED_FONT = 10,
  ANSI_FIXED_FONT = 11,
  ANSI_VAR_FONT = 12,
  SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14,
  DEFAULT_PALETTE = 15,
  SYSTEM_FIXED_FONT = 16,
  DEFAULT_GUI_FONT = 17,
};

// How a bitmap record names its source.
enum class TMetaBltKind : uint8_t {
  BitBlt,            // source position from the top-left, source size = destination size
  StretchBlt,        // source rectangle from the top-left
  StretchDIBits,     // source rectangle from the bottom-left of the bitmap
  SetDIBitsToDevice, // as StretchDIBits at 1:1, over scan lines StartScan .. StartScan + Counts[0]
};

struct TMetaPen {
  uint32_t Style = 0; // low 4 bits: solid, dash, dot, dash-dot, dash-dot-dot, null, inside frame
  int32_t Width = 0;  // logical units; 0 is one device pixel
  TColor Color = 0;
};

struct TMetaBrush {
  uint32_t Style = 0; // 0 solid, 1 null, 2 hatched, 3 pattern, 5 and 6 DIB pattern
  TColor Color = 0;
  uint32_t Hatch = 0;
  uint32_t Usage = 0; // DIB colour usage of a pattern
  std::span<const uint8_t> BitmapInfo;
  std::span<const uint8_t> Bits;
};

struct TMetaFont {
  int32_t Height = 0;
  int32_t Width = 0;
  int32_t Escapement = 0; // tenths of a degree
  int32_t Orientation = 0;
  int32_t Weight = 0;
  uint8_t Italic = 0;
  uint8_t Underline = 0;
  uint8_t StrikeOut = 0;
  uint8_t CharSet = 0;
  uint8_t OutPrecision = 0;
  uint8_t ClipPrecision = 0;
  uint8_t Quality = 0;
  uint8_t PitchAndFamily = 0;
  std::u16string Face;
};

struct TMetaCommand {
  TMetaOp Op = TMetaOp::Unknown;
  uint32_t RecordType = 0; // the record's function number or type as found in the file
  int32_t Value = 0;
  uint32_t Handle = 0;
  std::vector<TPoint> Points;
  std::vector<int32_t> Counts;
  TRect Box;
  TRect Source;
  std::vector<TRect> Rects;
  float Transform[6] = {1, 0, 0, 1, 0, 0}; // eM11, eM12, eM21, eM22, eDx, eDy
  // Bitmaps: spans into the file's bytes.
  TMetaBltKind BltKind = TMetaBltKind::BitBlt;
  uint32_t Rop = 0;
  uint32_t Usage = 0;
  int32_t StartScan = 0;
  std::span<const uint8_t> BitmapInfo;
  std::span<const uint8_t> Bits;
  // Text: characters as UTF-16; Dx the advance of each character (empty: the font's own).
  std::u16string Text;
  std::vector<int32_t> Dx;
  uint32_t TextOptions = 0;
  // Objects.
  TMetaPen Pen;
  TMetaBrush Brush;
  TMetaFont Font;
  std::vector<uint32_t> PaletteEntries;
};

// Text options.
constexpr uint32_t ETO_OPAQUE = 0x0002;
constexpr uint32_t ETO_CLIPPED = 0x0004;
constexpr uint32_t ETO_GLYPH_INDEX = 0x0010;
constexpr uint32_t ETO_PDY = 0x2000;

// Mapping modes.
enum TMapMode : int32_t {
  MM_TEXT = 1,
  MM_LOMETRIC = 2,
  MM_HIMETRIC = 3,
  MM_LOENGLISH = 4,
  MM_HIENGLISH = 5,
  MM_TWIPS = 6,
  MM_ISOTROPIC = 7,
  MM_ANISOTROPIC = 8,
};

} // namespace kestrel
