#include "browse/filelists/FileType.h"

#include "platform/files/Folders.h"

namespace kestrel {

TFileType::TFileType(std::initializer_list<TFileAttr> members) {
  for (TFileAttr member : members)
    Members |= 1u << member;
}

quint32 TFileType::AttributeBits() const {
  static const quint32 bits[] = {faReadOnly, faHidden,    faSysFile,
                                 faVolumeID, faDirectory, faArchive};
  quint32 result = 0;
  for (int member = ftReadOnly; member <= ftArchive; ++member)
    if (Contains(TFileAttr(member))) result |= bits[member];
  return result;
}

bool TFileType::Lists(quint32 attributes) const {
  const quint32 special = (faHidden | faSysFile | faVolumeID | faDirectory) & attributes;
  if ((special & ~AttributeBits()) != 0) return false;
  return Contains(ftNormal) || (attributes & AttributeBits()) != 0;
}

} // namespace kestrel
