#pragma once
// The real LZW encoder: finds the longest string already in the table for every code it sends.

#include "imaging/gif/GIFEncoder.h"
#include "imaging/gif/HashTable.h"

#include <memory>

namespace kestrel {

class TLZWEncoder : public TGIFEncoder {
public:
  // The table is cleared instead of taking this entry, so codes never need more than 12 bits.
  static constexpr int kLastEntry = 4094;

protected:
  void Compress() override;

private:
  void OutputCode(int code);
  void ClearTable();

  int nextFree_ = 0;
  std::unique_ptr<THashTable> table_;
};

} // namespace kestrel
