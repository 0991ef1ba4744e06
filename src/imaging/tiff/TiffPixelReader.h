#pragma once
// Reads the pixels of a TIFF directory into a picture made for its layout (TTiffPageLayout):
// strips decoded one after another and copied row by row (true-colour samples reordered to blue,
// green, red, further samples dropped), fax pictures scan line by scan line, and everything else
// through libtiff's RGBA reading in bands of rows (palette pictures take the nearest entry, alpha
// is dropped). Failures raise ETiffError with the libtiff step that failed.

namespace kestrel {

class TDibGraphic;
class TTiffFile;
struct TTiffPageLayout;

void ReadTiffPixels(const TTiffFile& file, const TTiffPageLayout& layout, TDibGraphic& picture);

} // namespace kestrel
