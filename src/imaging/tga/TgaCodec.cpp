#include "imaging/tga/TgaCodec.h"

#include "imaging/bmod/BmodInput.h"
#include "imaging/bmod/BmodOutput.h"
#include "imaging/tga/TgaHeader.h"
#include "imaging/tga/TgaPixels.h"

#include <algorithm>
#include <vector>

namespace kestrel {

namespace {

constexpr int kPaletteEntries = 256;
constexpr int kMaxPacket = 128;
constexpr uint8_t kRunPacket = 0x80;

class TTgaReader : public TBmodReader {
public:
  explicit TTgaReader(TBmodFile& file) : file_(file) {
    uint8_t bytes[TTgaHeader::kSize];
    if (!file.ReadAt(0, bytes, sizeof bytes)) BmodFail(TBmodError::EndOfData);
    tga_ = TTgaHeader::Parse(bytes);
    tga_.Check();
    header_.Width = tga_.Width;
    header_.Height = tga_.Height;
    header_.BitsPerPixel = tga_.BitsPerPixel();
    if (tga_.ColorMapped()) ReadColorMap();
    if (tga_.Grey())
      for (int i = 0; i < kPaletteEntries; ++i)
        header_.Palette.push_back({uint8_t(i), uint8_t(i), uint8_t(i)});
  }

  bool DataCanHold() override {
    const int64_t available = std::max<int64_t>(0, file_.Size() - tga_.DataOffset());
    const int64_t pixels = int64_t(tga_.Width) * tga_.Height;
    const int64_t bytes = tga_.FileBytesPerPixel();
    // A packet of one header byte and one pixel gives at most 128 pixels.
    const int64_t least =
        tga_.RunLength() ? (pixels + kMaxPacket - 1) / kMaxPacket * (1 + bytes) : pixels * bytes;
    return least <= available;
  }

  void ReadData(TBmodBitmap& target) override {
    TBmodInput input(file_, tga_.DataOffset());
    const TTgaPixels pixels(tga_);
    if (tga_.RunLength())
      ReadPackets(input, pixels, target);
    else
      ReadRows(input, pixels, target);
  }

private:
  void ReadColorMap() {
    header_.Palette.assign(kPaletteEntries, TBmodRgb{});
    std::vector<uint8_t> map(static_cast<size_t>(tga_.ColorMapBytes()));
    if (!file_.ReadAt(TTgaHeader::kSize + tga_.IdLength, map.data(),
                      static_cast<int64_t>(map.size())))
      BmodFail(TBmodError::EndOfData);
    for (int i = 0; i < tga_.ColorMapLength && tga_.ColorMapFirst + i < kPaletteEntries; ++i) {
      const uint8_t* e = &map[3 * static_cast<size_t>(i)];
      header_.Palette[tga_.ColorMapFirst + i] = {e[2], e[1], e[0]};
    }
  }

  // The picture line of the i-th stored row.
  uint8_t* StoredRow(const TBmodBitmap& target, int i) const {
    return tga_.TopDown() ? target.Row(i) : target.Line(i);
  }

  void ReadRows(TBmodInput& input, const TTgaPixels& pixels, const TBmodBitmap& target) {
    const bool same = pixels.FileBytes() == pixels.PictureBytes(); // read straight into the row
    const size_t fileRow = static_cast<size_t>(target.Width) * pixels.FileBytes();
    std::vector<uint8_t> row(same ? 0 : fileRow);
    for (int i = 0; i < target.Height; ++i) {
      uint8_t* line = StoredRow(target, i);
      if (!input.ReadExact(same ? line : row.data(), fileRow)) BmodFail(TBmodError::EndOfData);
      if (!same) pixels.Convert(row.data(), target.Width, line);
    }
  }

  void ReadPackets(TBmodInput& input, const TTgaPixels& pixels, const TBmodBitmap& target) {
    const size_t fileBytes = static_cast<size_t>(pixels.FileBytes());
    const size_t pictureBytes = static_cast<size_t>(pixels.PictureBytes());
    const size_t longest = 1 + kMaxPacket * fileBytes;
    int row = 0;
    int x = 0;
    uint8_t* line = StoredRow(target, 0);
    while (row < target.Height) {
      if (input.Available() < longest) input.Fill(longest);
      const uint8_t* const packet = input.Data();
      const bool run = packet[0] & kRunPacket;
      int count = (packet[0] & 0x7F) + 1;
      // A literal packet must hold the pixels it gives; those past the last row may be missing.
      const int64_t needed =
          std::min<int64_t>(run ? 1 : count, int64_t(target.Height - row) * target.Width - x);
      if (input.Available() < 1 + static_cast<size_t>(needed) * fileBytes)
        BmodFail(TBmodError::EndOfData);
      const uint8_t* from = packet + 1;
      while (count > 0 && row < target.Height) {
        const int take = std::min(count, target.Width - x);
        uint8_t* to = line + static_cast<size_t>(x) * pictureBytes;
        if (run) {
          pixels.Repeat(from, take, to);
        } else {
          pixels.Convert(from, take, to);
          from += static_cast<size_t>(take) * fileBytes;
        }
        count -= take;
        x += take;
        if (x == target.Width) {
          x = 0;
          if (++row < target.Height) line = StoredRow(target, row);
        }
      }
      input.Consume(run ? 1 + fileBytes : static_cast<size_t>(from - packet));
    }
  }

  TBmodFile& file_;
  TTgaHeader tga_;
};

TTgaHeader WrittenHeader(const TBmodBitmap& bitmap) {
  if (bitmap.BitsPerPixel != 8 && bitmap.BitsPerPixel != 24)
    BmodFail(TBmodError::UnsupportedBitmap);
  if (bitmap.Width > 0xFFFF || bitmap.Height > 0xFFFF) BmodFail(TBmodError::ImageTooLarge);
  const bool mapped = bitmap.BitsPerPixel == 8;
  TTgaHeader h;
  h.ColorMapType = mapped ? 1 : 0;
  h.ImageType = mapped ? 1 : 2;
  h.ColorMapLength = mapped ? kPaletteEntries : 0;
  h.ColorMapEntrySize = mapped ? 24 : 0;
  h.Width = static_cast<uint16_t>(bitmap.Width);
  h.Height = static_cast<uint16_t>(bitmap.Height);
  h.Depth = static_cast<uint8_t>(bitmap.BitsPerPixel);
  return h;
}

void WriteColorMap(const TBmodBitmap& bitmap, std::vector<uint8_t>& out) {
  for (size_t i = 0; i < kPaletteEntries; ++i) {
    const TBmodRgb c = i < bitmap.Palette.size() ? bitmap.Palette[i] : TBmodRgb{};
    out.insert(out.end(), {c.Blue, c.Green, c.Red});
  }
}

const TBmodRegistration<TTgaFormat> registration("tga");

} // namespace

std::unique_ptr<TBmodReader> TTgaFormat::ReadHeader(TBmodFile& file, const std::string&) const {
  return std::make_unique<TTgaReader>(file);
}

void TTgaFormat::Write(TBmodFile& file, const std::string&, const TBmodBitmap& bitmap) const {
  const TTgaHeader header = WrittenHeader(bitmap);
  TBmodOutput output(file);
  uint8_t bytes[TTgaHeader::kSize];
  header.Store(bytes);
  output.Put(bytes, sizeof bytes);
  if (header.ColorMapType) WriteColorMap(bitmap, output.Buffer());
  for (int i = 0; i < bitmap.Height; ++i) // bottom row first
    output.Put(bitmap.Line(i), bitmap.RowBytes());
  output.Flush();
}

} // namespace kestrel
