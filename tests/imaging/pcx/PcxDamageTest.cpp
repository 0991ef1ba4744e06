#include "imaging/pcx/DcxGraphic.h"

#include "../bmod/PictureTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

void LoadPcx(const std::vector<uint8_t>& bytes) {
  LoadedFrom<TPcxGraphic>(bytes);
}

// What a viewer and kestrel-tool do with a DCX: count, read pages, add one.
void UseDcx(const std::vector<uint8_t>& bytes) {
  TMemoryStream stream(bytes);
  int pages = 0;
  try {
    pages = TDcxGraphic().ImageCountInStream(stream);
  } catch (const EDcxError&) {
  }
  for (int page = 1; page <= std::min(pages, 3); ++page) {
    TDcxGraphic picture;
    picture.ImageIndex = page;
    stream.SetPosition(0);
    try {
      picture.LoadFromStream(stream);
    } catch (const EBmodError&) {
    } catch (const EDcxError&) {
    }
  }
  TDcxGraphic added;
  added.NewImage(2, 1, ifGray256, nullptr, 72, 72);
  added.AppendToStream(stream);
}

TEST(PcxDamage, DamagedFilesGiveTheCodecsError) {
  for (const char* name : {"ppmtopcx_1bit.pcx", "ppmtopcx_4planes.pcx", "ppmtopcx_packed4.pcx",
                           "ppmtopcx_8bit.pcx", "ppmtopcx_24bit.pcx"}) {
    SCOPED_TRACE(name);
    ExpectOnlyCodecErrors(ReadFileBytes(DataPath(std::string("pcx/") + name)), {"EBmodError"},
                          LoadPcx);
  }
}

TEST(PcxDamage, DamagedDcxFilesGiveTheCodecsError) {
  ExpectOnlyCodecErrors(FuzzSeeds("fuzz_dcx").front(), {"EBmodError", "EDcxError"}, UseDcx);
}

TEST(PcxDamage, FuzzSeedsLoad) {
  for (const auto& seed : FuzzSeeds("fuzz_pcx"))
    EXPECT_NO_THROW(LoadPcx(seed));
  for (const auto& seed : FuzzSeeds("fuzz_dcx"))
    EXPECT_NO_THROW(LoadedFrom<TDcxGraphic>(seed));
}

} // namespace
