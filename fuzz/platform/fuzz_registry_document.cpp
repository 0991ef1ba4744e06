// The settings file reader: any bytes give a document or a refusal, never a crash; a document it
// accepts survives writing and reading back unchanged.

#include "platform/registry/RegistryDocument.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QString error;
  const auto document = kestrel::TRegistryDocument::Parse(bytes, &error);
  if (!document) return 0;
  const QByteArray written = document->Serialize();
  const auto again = kestrel::TRegistryDocument::Parse(written, &error);
  if (!again || again->Serialize() != written) std::abort();
  return 0;
}
