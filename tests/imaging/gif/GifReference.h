#pragma once
// giflib as an independent reference for our GIF pixel coding, used by the tests and the
// benchmark: it wraps our coded image data in a minimal GIF file and reads it back, and writes
// frames with its own encoder. Header-only so the benchmark can share it.

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace kestrel::gifref {

// Bytes in front of the image data in the files made here: header, screen descriptor, global
// colour table of 2^bitsPerPixel entries and image descriptor.
inline size_t ImageDataOffset(int bitsPerPixel) {
  return 6 + 7 + 3 * (size_t(1) << bitsPerPixel) + 10;
}

inline void PutWord(std::vector<uint8_t>& out, int value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

// A grey ramp, so the colour table itself plays no part in the comparisons.
inline std::vector<GifColorType> GreyTable(int bitsPerPixel) {
  const int n = 1 << bitsPerPixel;
  std::vector<GifColorType> table(n);
  for (int i = 0; i < n; ++i) {
    const auto v = static_cast<GifByteType>(i * 255 / std::max(1, n - 1));
    table[i] = {v, v, v};
  }
  return table;
}

// A one-frame GIF file around imageData (code-size byte, sub-blocks, terminator).
inline std::vector<uint8_t> WrapImageData(const std::vector<uint8_t>& imageData, int width,
                                          int height, int bitsPerPixel, bool interlaced) {
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  PutWord(out, width);
  PutWord(out, height);
  out.push_back(static_cast<uint8_t>(0x80 | (bitsPerPixel - 1)));
  out.push_back(0);
  out.push_back(0);
  for (const GifColorType& c : GreyTable(bitsPerPixel))
    out.insert(out.end(), {c.Red, c.Green, c.Blue});
  out.push_back(0x2C);
  PutWord(out, 0);
  PutWord(out, 0);
  PutWord(out, width);
  PutWord(out, height);
  out.push_back(interlaced ? 0x40 : 0);
  out.insert(out.end(), imageData.begin(), imageData.end());
  out.push_back(0x3B);
  return out;
}

// The rows of a frame in the order an interlaced frame sends them.
inline std::vector<int> InterlacedRows(int height) {
  std::vector<int> rows;
  const int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
  for (const auto& pass : passes)
    for (int row = pass[0]; row < height; row += pass[1])
      rows.push_back(row);
  return rows;
}

struct MemoryInput {
  const std::vector<uint8_t>* bytes;
  size_t position;
};

inline int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int count) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  const size_t n = std::min<size_t>(count, in->bytes->size() - in->position);
  std::memcpy(buffer, in->bytes->data() + in->position, n);
  in->position += n;
  return static_cast<int>(n);
}

inline int WriteToMemory(GifFileType* gif, const GifByteType* buffer, int count) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), buffer, buffer + count);
  return count;
}

// The pixels of the first frame of file, rows in storage order; nothing when giflib refuses it.
inline std::optional<std::vector<uint8_t>> Decode(const std::vector<uint8_t>& file) {
  MemoryInput input{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadFromMemory, &error);
  if (!gif) return std::nullopt;
  std::optional<std::vector<uint8_t>> result;
  GifRecordType type = UNDEFINED_RECORD_TYPE;
  while (DGifGetRecordType(gif, &type) == GIF_OK && type == EXTENSION_RECORD_TYPE) {
    int code = 0;
    GifByteType* extension = nullptr;
    if (DGifGetExtension(gif, &code, &extension) != GIF_OK) break;
    while (extension && DGifGetExtensionNext(gif, &extension) == GIF_OK) {
    }
  }
  if (type == IMAGE_DESC_RECORD_TYPE && DGifGetImageDesc(gif) == GIF_OK) {
    const int width = gif->Image.Width;
    const int height = gif->Image.Height;
    std::vector<uint8_t> pixels(size_t(width) * height);
    bool ok = true;
    if (gif->Image.Interlace) {
      for (int row : InterlacedRows(height))
        if (ok) ok = DGifGetLine(gif, pixels.data() + size_t(row) * width, width) == GIF_OK;
    } else if (!pixels.empty()) {
      ok = DGifGetLine(gif, pixels.data(), static_cast<int>(pixels.size())) == GIF_OK;
    }
    if (ok) result = std::move(pixels);
  }
  DGifCloseFile(gif, &error);
  return result;
}

// A one-frame GIF file of pixels written by giflib (not interlaced), or nothing on failure.
inline std::optional<std::vector<uint8_t>> Encode(const std::vector<uint8_t>& pixels, int width,
                                                  int height, int bitsPerPixel) {
  std::vector<uint8_t> out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToMemory, &error);
  if (!gif) return std::nullopt;
  const std::vector<GifColorType> table = GreyTable(bitsPerPixel);
  ColorMapObject* map = GifMakeMapObject(static_cast<int>(table.size()), table.data());
  bool ok = map && EGifPutScreenDesc(gif, width, height, bitsPerPixel, 0, map) == GIF_OK &&
            EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK &&
            EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data()),
                        static_cast<int>(pixels.size())) == GIF_OK;
  if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
  GifFreeMapObject(map);
  if (!ok) return std::nullopt;
  return out;
}

} // namespace kestrel::gifref

namespace kestrel::gifref {

// Everything giflib reads from a whole file, frame by frame.
struct RefColor {
  int Red, Green, Blue;
  friend bool operator==(const RefColor&, const RefColor&) = default;
};

struct RefFrame {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Interlaced = false;
  std::vector<RefColor> LocalMap; // empty when the frame has none
  std::vector<uint8_t> Pixels;    // rows in storage order
  int TransparentIndex = -1;      // from the graphic control extension, -1 for none
  int Delay = 0;
  int Disposal = 0;
};

struct RefFile {
  int Width = 0, Height = 0;
  int BackgroundIndex = 0;
  std::vector<RefColor> GlobalMap;
  std::vector<RefFrame> Frames;
};

inline std::vector<RefColor> ColorsOf(const ColorMapObject* map) {
  std::vector<RefColor> colors;
  if (map)
    for (int i = 0; i < map->ColorCount; ++i)
      colors.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  return colors;
}

// The whole file as giflib reads it, or nothing when giflib refuses it.
inline std::optional<RefFile> Slurp(const std::vector<uint8_t>& file) {
  MemoryInput input{&file, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&input, ReadFromMemory, &error);
  if (!gif) return std::nullopt;
  std::optional<RefFile> result;
  if (DGifSlurp(gif) == GIF_OK) {
    RefFile out;
    out.Width = gif->SWidth;
    out.Height = gif->SHeight;
    out.BackgroundIndex = gif->SBackGroundColor;
    out.GlobalMap = ColorsOf(gif->SColorMap);
    for (int i = 0; i < gif->ImageCount; ++i) {
      const SavedImage& image = gif->SavedImages[i];
      RefFrame frame;
      frame.Left = image.ImageDesc.Left;
      frame.Top = image.ImageDesc.Top;
      frame.Width = image.ImageDesc.Width;
      frame.Height = image.ImageDesc.Height;
      frame.Interlaced = image.ImageDesc.Interlace;
      frame.LocalMap = ColorsOf(image.ImageDesc.ColorMap);
      // giflib hands out the rows of interlaced frames already in storage order.
      frame.Pixels.assign(image.RasterBits,
                          image.RasterBits + size_t(frame.Width) * size_t(frame.Height));
      GraphicsControlBlock control;
      if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
        frame.TransparentIndex = control.TransparentColor;
        frame.Delay = control.DelayTime;
        frame.Disposal = control.DisposalMode;
      }
      out.Frames.push_back(std::move(frame));
    }
    result = std::move(out);
  }
  DGifCloseFile(gif, &error);
  return result;
}

} // namespace kestrel::gifref
