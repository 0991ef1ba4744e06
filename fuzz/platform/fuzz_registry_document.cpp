// The settings file reader: any bytes give a document or a refusal, never a crash; a document it
// accepts survives writing and reading back unchanged, and the values of each key, made only when
// the key is first used, are the same in both.

#include "platform/registry/RegistryDocument.h"

#include <cstdint>
#include <cstdlib>

namespace {

// The values of every key the text names, in the document.
void ExpectSameValues(const QByteArray& text, const kestrel::TRegistryDocument& one,
                      const kestrel::TRegistryDocument& other) {
  for (const QByteArray& raw : text.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (!line.startsWith('[') || !line.endsWith(']')) continue;
    const QString name = QString::fromUtf8(line.mid(1, line.size() - 2));
    for (kestrel::TRootKey root :
         {kestrel::TRootKey::CurrentUser, kestrel::TRootKey::LocalMachine}) {
      const QString rootName = kestrel::RegistryRootName(root);
      if (!name.startsWith(rootName, Qt::CaseInsensitive)) continue;
      const QString path = name.mid(rootName.size());
      if (one.Values(root, path) != other.Values(root, path)) std::abort();
    }
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  QString error;
  const auto document = kestrel::TRegistryDocument::Parse(bytes, &error);
  if (!document) return 0;
  const QByteArray written = document->Serialize();
  const auto again = kestrel::TRegistryDocument::Parse(written, &error);
  if (!again || again->Serialize() != written) std::abort();
  ExpectSameValues(bytes, *document, *again);
  return 0;
}
