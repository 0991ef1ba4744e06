#pragma once
// kestrel-tool index: an index page of pictures through the Picture Index Maker's own engine.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

class TBitmap;

struct TIndexOptions {
  std::optional<int> Width; // the page, 800 x 600 when not given
  std::optional<int> Height;
  std::optional<int> Columns; // proposed for the number of pictures when not given
  std::optional<int> Rows;
  std::optional<std::string> Title;
  bool Captions = false;
  std::optional<int> Border;     // the thumbnail border, -20..20
  std::optional<int> PageBorder; // 0..40
  bool Any() const { return Width || Columns || Rows || Title || Captions || Border || PageBorder; }
};

// Takes option into options when it is one of index's, asking value for the word after it;
// false when it is not. A bad value raises TUsageError.
bool ParseIndexOption(const std::string& option, const std::function<const std::string&()>& value,
                      TIndexOptions& options);

// Makes the page of files and hands it to save (which writes it and returns the exit code); an
// output ending in ".pdf" is printed on one page of that PDF file instead. The page and each
// picture that failed go to out and err.
int MakeIndexPage(const std::string& output, const std::vector<std::string>& files,
                  const TIndexOptions& options, const std::function<int(const TBitmap& page)>& save,
                  std::ostream& out, std::ostream& err);

} // namespace kestrel
