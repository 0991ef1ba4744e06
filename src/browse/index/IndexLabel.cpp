#include "browse/index/IndexLabel.h"

#include <algorithm>

namespace kestrel {
namespace {

bool BreaksAnywhere(QChar c) {
  return !c.isLetterOrNumber() && c != '!';
}

bool BreaksBeforeCapital(QChar c) {
  return c >= 'A' && c <= 'Z';
}

// The last position past the first whose character is of the class and whose text up to and
// including it fits; -1 for none.
qsizetype LastFittingBreak(const QString& text, int limit, bool (*breaks)(QChar),
                           const std::function<int(const QString&)>& widthOf) {
  for (qsizetype i = text.size() - 1; i > 0; --i)
    if (breaks(text[i]) && widthOf(text.left(i + 1)) < limit) return i;
  return -1;
}

} // namespace

TCaptionLines BreakCaption(const QString& text, int limit,
                           const std::function<int(const QString&)>& widthOf) {
  if (widthOf(text) < limit) return {text, {}};
  qsizetype at = LastFittingBreak(text, limit, BreaksAnywhere, widthOf);
  if (at < 0) at = LastFittingBreak(text, limit, BreaksBeforeCapital, widthOf);
  if (at < 0) at = text.size() / 2;
  if (at <= 0) return {text, {}}; // a single character cannot be broken
  return {text.left(at), text.mid(at)};
}

TIndexLabel::TIndexLabel(TColor background, int wrapLimit)
    : background_(background), wrapLimit_(wrapLimit) {}

TBitmap& TIndexLabel::Make(const QString& text, const TFont& font, bool transparent, bool wrap) {
  TCanvas& canvas = bitmap_.Canvas();
  bitmap_.SetTransparent(false);
  bitmap_.SetPixelFormat(pf24bit);
  canvas.Font = font;
  const auto widthOf = [&canvas](const QString& line) {
    return canvas.TextWidth(line.toStdString());
  };
  const TCaptionLines lines =
      wrap ? BreakCaption(text, wrapLimit_, widthOf) : TCaptionLines{text, {}};
  const int textHeight = canvas.TextHeight("Ag");
  const bool two = !lines.Second.isEmpty();
  const int width = std::max(widthOf(lines.First), two ? widthOf(lines.Second) : 0) + 1;
  const int height = (two ? 2 : 1) * textHeight + 1;
  canvas.Brush.Color = background_;
  canvas.Brush.Style = bsSolid;
  bitmap_.SetSize(1, 1);
  canvas.FillRect({0, 0, 1, 1});
  bitmap_.SetSize(width, height);
  canvas.FillRect({0, 0, width, height});
  canvas.Brush.Style = bsClear;
  canvas.TextOut((width - 1 - widthOf(lines.First)) / 2 + 1, 1, lines.First.toStdString());
  if (two)
    canvas.TextOut((width - 1 - widthOf(lines.Second)) / 2 + 1, textHeight + 1,
                   lines.Second.toStdString());
  canvas.Brush.Style = bsSolid;
  if (transparent) {
    bitmap_.SetTransparentColor(background_);
    bitmap_.SetTransparent(true);
  }
  return bitmap_;
}

QString LongestName(const std::vector<QString>& names) {
  QString longest;
  for (const QString& name : names)
    if (name.size() > longest.size()) longest = name;
  return longest;
}

} // namespace kestrel
