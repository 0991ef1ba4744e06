#include "browse/filelists/FileType.h"

#include "platform/files/Folders.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(FileType, WhichEntriesAreListed) {
  const TFileType mainList{ftReadOnly, ftHidden, ftSystem, ftArchive, ftNormal};
  EXPECT_TRUE(mainList.Lists(faArchive));
  EXPECT_TRUE(mainList.Lists(faArchive | faHidden));
  EXPECT_TRUE(mainList.Lists(faArchive | faReadOnly));
  EXPECT_FALSE(mainList.Lists(faDirectory)); // folders only when asked for

  const TFileType normal{ftNormal};
  EXPECT_TRUE(normal.Lists(faArchive));
  EXPECT_TRUE(normal.Lists(faArchive | faReadOnly));
  EXPECT_FALSE(normal.Lists(faArchive | faHidden));
  EXPECT_FALSE(normal.Lists(faDirectory));

  const TFileType folders{ftDirectory};
  EXPECT_TRUE(folders.Lists(faDirectory));
  EXPECT_FALSE(folders.Lists(faArchive));
  EXPECT_FALSE(folders.Lists(faDirectory | faHidden));

  const TFileType readOnly{ftReadOnly};
  EXPECT_TRUE(readOnly.Lists(faReadOnly | faArchive));
  EXPECT_FALSE(readOnly.Lists(faArchive));
  EXPECT_EQ(TFileType({ftReadOnly, ftHidden, ftDirectory, ftArchive}).AttributeBits(),
            quint32(faReadOnly | faHidden | faDirectory | faArchive));
}

} // namespace
} // namespace kestrel
