#pragma once
// The picture framework: TPersistent (assignable objects), TGraphic (the abstract picture every
// codec class derives from) and the clipboard data a graphic exchanges.
//
// Assignment follows one rule everywhere: target.Assign(source) copies what it understands and
// otherwise asks source.AssignTo(target); a pair nobody understands raises EConvertError
// "Cannot assign a <source class> to a <target class>".

#include "imaging/core/Color.h"
#include "imaging/core/Palette.h"
#include "imaging/core/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kestrel {

class TBitmap;
class TCanvas;
class TStream;

class TPersistent {
public:
  virtual ~TPersistent() = default;
  // Copies source into this object. The default hands the work to source->AssignTo(*this); a
  // null source raises EConvertError.
  virtual void Assign(const TPersistent* source);
  // Copies this object into target; the default raises EConvertError.
  virtual void AssignTo(TPersistent& target) const;
  virtual const char* ClassName() const { return "TPersistent"; }

protected:
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

// Clipboard formats: CF_BITMAP (a device bitmap) and the formats registered by name (see
// TClipboard::RegisterFormat).
using TClipboardFormat = uint32_t;
constexpr TClipboardFormat CF_BITMAP = 2;

// What travels through the clipboard for one format: a bitmap for CF_BITMAP, the raw bytes of a
// registered format otherwise.
struct TClipboardData {
  std::shared_ptr<TBitmap> Bitmap;
  std::vector<uint8_t> Bytes;
  // For a bitmap another program gave: Bytes hold it as a file of this type ("png"), unread.
  std::string Extension;
  bool IsNull() const { return !Bitmap && Bytes.empty(); }
};

enum class TProgressStage { Starting, Running, Ending };

// What kestrel-tool info and the gallery show about a picture without drawing it.
struct TImageInfo {
  int Width = 0;
  int Height = 0;
  int BitsPerPixel = 0;   // 0 when the class has no such notion
  int PaletteEntries = 0; // entries of the colour table, 0 for none
  int Frames = 1;         // images in the file
};

class TGraphic : public TPersistent {
public:
  using TNotifyEvent = std::function<void(TGraphic& sender)>;
  using TProgressEvent = std::function<void(TGraphic& sender, TProgressStage stage, int percent,
                                            const std::string& message)>;

  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  const char* ClassName() const override { return "TGraphic"; }
  // A new empty graphic of the same class (what the picture container and the frame loader use to
  // make another picture "of the same class").
  virtual std::unique_ptr<TGraphic> NewInstance() const = 0;

  // AssignTo a TBitmap: by default the bitmap becomes 24 bits per pixel of this size, is filled
  // with white and this graphic is drawn on it; classes that know better override.
  void AssignTo(TPersistent& target) const override;

  // Properties, each through its virtual slot.
  int Width() const { return GetWidth(); }
  int Height() const { return GetHeight(); }
  bool Empty() const { return GetEmpty(); }
  bool Transparent() const { return GetTransparent(); }
  TPalette Palette() const { return GetPalette(); }
  void SetWidth(int width) { DoSetWidth(width); }
  void SetHeight(int height) { DoSetHeight(height); }
  void SetTransparent(bool value) { DoSetTransparent(value); }
  void SetPalette(const TPalette& palette) { DoSetPalette(palette); }
  bool Modified() const { return modified_; }
  void SetModified(bool value);

  // Draws the whole picture stretched into rect of canvas.
  virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;

  // Reading and writing; errors raise the codec's exception class.
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  virtual void LoadFromFile(const std::string& path);
  virtual void SaveToFile(const std::string& path);
  virtual void LoadFromClipboardFormat(TClipboardFormat format, const TClipboardData& data,
                                       const TPalette& palette);
  virtual void SaveToClipboardFormat(TClipboardFormat& format, TClipboardData& data,
                                     TPalette& palette) const;

  // Facts about this picture; the default gives the size, the palette's entry count and 1 frame.
  virtual TImageInfo Info() const;
  // Facts about the picture in stream, read from its header where the class can (the default
  // loads it into a new instance). The stream is left at an unspecified position.
  virtual TImageInfo ReadInfo(TStream& stream) const;

  // Change notification: Changed() marks the graphic modified and calls OnChange.
  TNotifyEvent OnChange;
  TProgressEvent OnProgress;
  virtual void Changed();
  void Progress(TProgressStage stage, int percent, const std::string& message);

protected:
  virtual bool GetEmpty() const = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual bool GetTransparent() const { return transparent_; }
  virtual TPalette GetPalette() const { return {}; }
  virtual void DoSetWidth(int width) = 0;
  virtual void DoSetHeight(int height) = 0;
  virtual void DoSetTransparent(bool value);
  virtual void DoSetPalette(const TPalette&) {}

private:
  bool modified_ = false;
  bool transparent_ = false;
};

} // namespace kestrel
