#include "imaging/metafile/MetaFields.h"

#include "imaging/binary/ByteReader.h"
#include "imaging/binary/ByteWriter.h"
#include "imaging/core/Exceptions.h"
#include "imaging/metafile/EmfRecords.h"
#include "imaging/metafile/WmfRecords.h"

#include <algorithm>
#include <array>

namespace kestrel {

const TValueRecord* FindValueRecord(TMetaOp op) {
  static constexpr std::array<TValueRecord, 7> kRecords = {{
      {TMetaOp::SetMapMode, wmf::SETMAPMODE, emf::SETMAPMODE, true},
      {TMetaOp::SetBkMode, wmf::SETBKMODE, emf::SETBKMODE, true},
      {TMetaOp::SetRop2, wmf::SETROP2, emf::SETROP2, true},
      {TMetaOp::SetPolyFillMode, wmf::SETPOLYFILLMODE, emf::SETPOLYFILLMODE, true},
      {TMetaOp::SetTextAlign, wmf::SETTEXTALIGN, emf::SETTEXTALIGN, true},
      {TMetaOp::RestoreDC, wmf::RESTOREDC, emf::RESTOREDC, true},
      {TMetaOp::SaveDC, wmf::SAVEDC, emf::SAVEDC, false},
  }};
  const auto* found = std::find_if(kRecords.begin(), kRecords.end(),
                                   [op](const TValueRecord& r) { return r.Op == op; });
  return found == kRecords.end() ? nullptr : found;
}

void ReadFontFields(TByteReader& r, TMetaFont& f, bool wide) {
  for (int32_t* v : {&f.Height, &f.Width, &f.Escapement, &f.Orientation, &f.Weight})
    *v = wide ? r.I32() : r.I16();
  for (uint8_t* b : {&f.Italic, &f.Underline, &f.StrikeOut, &f.CharSet, &f.OutPrecision,
                     &f.ClipPrecision, &f.Quality, &f.PitchAndFamily})
    *b = r.U8();
}

void WriteFontFields(TByteWriter& out, const TMetaFont& f, bool wide) {
  for (const int32_t v : {f.Height, f.Width, f.Escapement, f.Orientation, f.Weight}) {
    if (wide) {
      out.I32(v);
      continue;
    }
    if (v < INT16_MIN || v > INT16_MAX)
      throw EInvalidGraphic("Cannot convert the metafile: a font does not fit a plain metafile");
    out.I16(v);
  }
  for (const uint8_t b : {f.Italic, f.Underline, f.StrikeOut, f.CharSet, f.OutPrecision,
                          f.ClipPrecision, f.Quality, f.PitchAndFamily})
    out.U8(b);
}

void ReadPaletteFields(TByteReader& r, std::vector<uint32_t>& entries) {
  r.Skip(2);
  const size_t count = r.U16();
  if (count > r.Remaining() / 4) r.Fail();
  for (size_t i = 0; i < count; ++i)
    entries.push_back(r.U32());
}

void WritePaletteFields(TByteWriter& out, const std::vector<uint32_t>& entries) {
  out.U16(0x0300);
  out.U16(static_cast<unsigned>(entries.size()));
  for (const uint32_t e : entries)
    out.U32(e);
}

} // namespace kestrel
