#pragma once
// TMetafile: the framework's metafile, registered for ".wmf" ("Metafiles") and ".emf" ("Enhanced
// Metafiles"). It keeps the file's records and plays them when drawn (see MetafilePlayer.h).
// Width and Height are the picture's frame at the screen's resolution.
//
// Saving writes the flavour Enhanced() names: the flavour the file was read in gives its records
// back unchanged; the other flavour is converted command by command, and a record the other
// flavour cannot hold refuses the conversion with EInvalidGraphic. SaveToFile takes the flavour
// from a ".wmf" or ".emf" name.

#include "imaging/core/Graphic.h"
#include "imaging/metafile/MetaReader.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kestrel {

class TMetafile : public TGraphic {
public:
  TMetafile();
  ~TMetafile() override;

  const char* ClassName() const override { return "TMetafile"; }
  std::unique_ptr<TGraphic> NewInstance() const override;

  // A TMetafile is copied; null empties the metafile; anything else is asked to AssignTo this
  // metafile (which raises the framework's conversion error for every other class).
  void Assign(const TPersistent* source) override;

  // Plays the records with the picture's frame mapped onto rect; what they do not paint is left
  // alone.
  void Draw(TCanvas& canvas, const TRect& rect) override;

  // Reads the rest of the stream; raises EInvalidGraphic when the file is damaged, refusing a
  // picture whose size at the screen's resolution passes the memory limit.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // The flavour follows a ".wmf" or ".emf" name; the file is made only once the bytes are ready.
  void SaveToFile(const std::string& path) override;

  bool Enhanced() const { return enhanced_; }
  void SetEnhanced(bool value);
  // The frame's size in hundredths of a millimetre.
  int MMWidth() const;
  int MMHeight() const;
  const TMetafileHeader& Header() const { return header_; }
  // The metafile as read (up to its end-of-file record).
  std::span<const uint8_t> Data() const { return bytes_; }
  // The metafile in a flavour; raises EInvalidGraphic when it cannot be converted.
  std::vector<uint8_t> Encode(bool enhanced) const;

protected:
  bool GetEmpty() const override { return bytes_.empty(); }
  int GetWidth() const override { return width_; }
  int GetHeight() const override { return height_; }
  // Metafiles paint only what their records paint.
  bool GetTransparent() const override { return true; }
  // Setting a size sets the size the metafile is drawn at by Draw at its own size.
  void DoSetWidth(int width) override;
  void DoSetHeight(int height) override;

private:
  void LoadFromBytes(std::vector<uint8_t> bytes);

  std::vector<uint8_t> bytes_;
  TMetafileHeader header_;
  bool enhanced_ = true;
  int width_ = 0;
  int height_ = 0;
};

} // namespace kestrel
