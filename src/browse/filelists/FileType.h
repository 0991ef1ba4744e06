#pragma once
// The kinds of entries a file list shows.

#include <QtGlobal>

#include <initializer_list>

namespace kestrel {

enum TFileAttr { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };

class TFileType {
public:
  TFileType() = default;
  TFileType(std::initializer_list<TFileAttr> members);

  bool Contains(TFileAttr member) const { return Members & (1u << member); }
  // The attribute bits of the chosen members (read-only 1 ... archive 32).
  quint32 AttributeBits() const;
  // Whether an entry with these attributes is listed. Folders, hidden and system entries appear
  // only when their kind is chosen; of the rest, everything when ftNormal is chosen, else entries
  // sharing an attribute with the chosen members.
  bool Lists(quint32 attributes) const;

  bool operator==(const TFileType&) const = default;

private:
  quint32 Members = 0;
};

} // namespace kestrel
