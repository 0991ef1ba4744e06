#include "imaging/tga/TgaGraphic.h"

#include "../bmod/PictureTestSupport.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::test;

namespace {

void LoadTga(const std::vector<uint8_t>& bytes) {
  LoadedFrom<TTgaGraphic>(bytes);
}

TEST(TgaDamage, DamagedFilesGiveTheCodecsError) {
  for (const auto& seed : FuzzSeeds("fuzz_tga"))
    ExpectOnlyCodecErrors(seed, {"EBmodError"}, LoadTga);
}

TEST(TgaDamage, FuzzSeedsLoad) {
  for (const auto& seed : FuzzSeeds("fuzz_tga"))
    EXPECT_NO_THROW(LoadTga(seed));
}

} // namespace
