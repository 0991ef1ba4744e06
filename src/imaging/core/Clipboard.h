#pragma once
// TClipboard: the system clipboard (QClipboard underneath). CF_BITMAP travels as an image; a
// format registered by name travels as raw bytes under a MIME type ("GIF Image" as image/gif).
// Needs a QGuiApplication and its thread; without one the clipboard is empty and writes are
// dropped.
//
// What another program put on the clipboard is untrusted: its image is never decoded here (nor by
// Qt, whose reader would allocate whatever the file claims). CF_BITMAP then gives the file bytes
// of the first image type it offers (PNG, BMP, GIF, JPEG, TIFF) with their extension, for the
// program's own readers, which check every size against the memory limit first.

#include "imaging/core/Graphic.h"

#include <QMimeData>
#include <QPointer>

#include <memory>
#include <string>

namespace kestrel {

class TClipboard : public TPersistent {
public:
  // The process's clipboard.
  static TClipboard& Instance();

  const char* ClassName() const override { return "TClipboard"; }

  // A format id for a named clipboard format carried under mimeType; the same name gives the
  // same id.
  static TClipboardFormat RegisterFormat(const std::string& name, const std::string& mimeType);

  // Batches writes: between Open and Close, SetAsHandle calls add formats to one clipboard entry
  // (the first write of a batch replaces what was there). Nested calls count.
  void Open();
  void Close();

  // False when there is no system clipboard to take data (no QGuiApplication).
  bool Available() const;
  bool HasFormat(TClipboardFormat format) const;
  // CF_BITMAP: the image this program put there as a bitmap (null when there is none, or when it
  // passes the memory limit), or another program's image as file bytes and their extension; a
  // registered format: its bytes.
  TClipboardData GetAsHandle(TClipboardFormat format) const;
  void SetAsHandle(TClipboardFormat format, const TClipboardData& data);
  void Clear();

  // Puts a graphic on the clipboard through its SaveToClipboardFormat.
  void Assign(const TPersistent* source) override;

private:
  TClipboard();
  ~TClipboard() override;
  void Flush();
  // The clipboard's data when this program put it there (Qt deletes it once another program
  // takes the clipboard), else null.
  const QMimeData* OwnData() const;

  int openCount_ = 0;
  std::unique_ptr<QMimeData> pending_;
  QPointer<QMimeData> published_;
};

// Opens the clipboard for the life of the object.
class TClipboardSession {
public:
  explicit TClipboardSession(TClipboard& clipboard) : clipboard_(clipboard) { clipboard_.Open(); }
  ~TClipboardSession() { clipboard_.Close(); }
  TClipboardSession(const TClipboardSession&) = delete;
  TClipboardSession& operator=(const TClipboardSession&) = delete;

private:
  TClipboard& clipboard_;
};

} // namespace kestrel
