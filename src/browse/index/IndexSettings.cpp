#include "browse/index/IndexSettings.h"

#include "platform/settings/Settings.h"
#include "platform/text/SizeText.h"

namespace kestrel {
namespace {

const char kSection[] = "ThumbnailMaker";
const char kDefaultFont[] = "MS Sans Serif";

TSettingKey Key(const char* name) {
  return {kSection, name};
}

int ReadColor(const char* name, TColor color) {
  return ReadSetting(Key(name), static_cast<int>(color));
}

// A number kept as text: fallback when it is no number, then held to range.
int ReadNumberText(const char* name, int value, int fallback, TIndexRange range) {
  bool ok = false;
  const int read = ReadSetting(Key(name), QString::number(value)).trimmed().toInt(&ok);
  return range.Clamp(ok ? read : fallback);
}

void ReadFont(const char* prefix, TFont& font) {
  const QString p = prefix;
  font.Color = ReadColor((p + "FontColor").toUtf8().constData(), font.Color);
  font.Size =
      kFontSizeRange.Clamp(ReadSetting(Key((p + "FontSize").toUtf8().constData()), font.Size));
  const QString name =
      ReadSetting(Key((p + "FontName").toUtf8().constData()), QString::fromStdString(font.Name));
  font.Name = name.isEmpty() ? kDefaultFont : name.toStdString();
}

void WriteFont(const char* prefix, const TFont& font) {
  const QString p = prefix;
  WriteSetting(Key((p + "FontColor").toUtf8().constData()), static_cast<int>(font.Color));
  WriteSetting(Key((p + "FontSize").toUtf8().constData()), font.Size);
  WriteSetting(Key((p + "FontName").toUtf8().constData()), QString::fromStdString(font.Name));
}

TFont DefaultFont(int size, TColor color) {
  TFont font;
  font.Name = kDefaultFont;
  font.Size = size;
  font.Color = color;
  return font;
}

} // namespace

TColor IndexContrastColor(TColor background) {
  const int green = (background >= 0 ? background : 0) >> 8 & 0xFF;
  return green <= 150 ? clWhite : clBlack;
}

QString IndexMemoryText(int width, int height) {
  return SizeText(0, static_cast<qint64>(width) * height * 3);
}

TIndexSettings TIndexSettings::Defaults(QSize screen, TColor background) {
  TIndexSettings s;
  s.PageWidth = kPageSideRange.Clamp(static_cast<int>(screen.width() * 0.78125));
  s.PageHeight = kPageSideRange.Clamp(static_cast<int>(screen.height() * 0.78125));
  s.Background = background;
  const TColor contrast = IndexContrastColor(background);
  s.PageBorderColor = s.ThumbBorderColor = contrast;
  s.TitleFont = DefaultFont(18, contrast);
  s.FooterFont = DefaultFont(14, contrast);
  s.CaptionFont = DefaultFont(8, contrast);
  return s;
}

void TIndexSettings::Read() {
  CheckBoxes = ReadSetting(Key("CheckBoxes"), CheckBoxes);
  WallpaperFile = ReadSetting(Key("WallpaperFile"), WallpaperFile);
  Background = ReadColor("BackgroundColor", Background);
  ReadFont("Title", TitleFont);
  ReadFont("Footer", FooterFont);
  ReadFont("Thumbnail", CaptionFont);
  TitleText = ReadSetting(Key("TitleText"), TitleText);
  FooterText = ReadSetting(Key("FooterText"), FooterText);
  PageWidth = ReadNumberText("PageWidth", PageWidth, 1, kPageSideRange);
  PageHeight = ReadNumberText("PageHeight", PageHeight, 1, kPageSideRange);
  PageBorder = ReadNumberText("PageBorder", PageBorder, 0, kPageBorderRange);
  ThumbBorder = ReadNumberText("ThumbBorder", ThumbBorder, 0, kThumbBorderRange);
  Spacing = ReadNumberText("Spacing", Spacing, 1, kSpacingRange);
  PageBorderColor = ReadColor("PgBorderColor", PageBorderColor);
  ThumbBorderColor = ReadColor("ThBorderColor", ThumbBorderColor);
}

void TIndexSettings::Write() const {
  WriteSetting(Key("CheckBoxes"), CheckBoxes);
  WriteSetting(Key("WallpaperFile"), WallpaperFile);
  WriteSetting(Key("BackgroundColor"), static_cast<int>(Background));
  WriteFont("Title", TitleFont);
  WriteFont("Footer", FooterFont);
  WriteFont("Thumbnail", CaptionFont);
  WriteSetting(Key("TitleText"), TitleText);
  WriteSetting(Key("FooterText"), FooterText);
  WriteSetting(Key("PageWidth"), QString::number(PageWidth));
  WriteSetting(Key("PageHeight"), QString::number(PageHeight));
  WriteSetting(Key("PageBorder"), QString::number(PageBorder));
  WriteSetting(Key("ThumbBorder"), QString::number(ThumbBorder));
  WriteSetting(Key("Spacing"), QString::number(Spacing));
  WriteSetting(Key("PgBorderColor"), static_cast<int>(PageBorderColor));
  WriteSetting(Key("ThBorderColor"), static_cast<int>(ThumbBorderColor));
}

TIndexPageConfig TIndexSettings::Config() const {
  TIndexPageConfig config;
  config.Columns = Columns;
  config.Rows = Rows;
  config.Spacing = Spacing;
  config.PageBorder = PageBorder;
  config.ThumbBorder = ThumbBorder;
  config.PageBorderColor = PageBorderColor;
  config.ThumbBorderColor = ThumbBorderColor;
  config.Background = Background;
  config.PageWidth = PageWidth;
  config.PageHeight = PageHeight;
  config.TitleText = TitleText.toStdString();
  config.TitleFont = TitleFont;
  config.FooterText = FooterText.toStdString();
  config.FooterFont = FooterFont;
  config.CaptionFont = CaptionFont;
  config.LeftJustify = Checked(cbLeftJustify);
  config.TransparentTitle = Checked(cbTransparentTitle);
  config.TransparentFooter = Checked(cbTransparentFooter);
  config.TransparentCaptions = Checked(cbTransparentCaptions);
  config.BackgroundGraphic = Checked(cbBackgroundGraphic);
  config.Tile = config.BackgroundGraphic && Checked(cbTile);
  config.FromClipboard = config.BackgroundGraphic && Checked(cbFromClipboard);
  config.WallpaperFile = WallpaperFile.toStdString();
  config.QuickThumbnails = Checked(cbQuickThumbnails);
  return config;
}

} // namespace kestrel
