#include "platform/registry/RegistryDocument.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

const QString kMain = "Software\\Brackwell\\Kestrel\\MainForm";

TRegistryDocument Reparsed(const TRegistryDocument& document) {
  QString error;
  auto parsed = TRegistryDocument::Parse(document.Serialize(), &error);
  EXPECT_TRUE(parsed.has_value()) << error.toStdString() << "\n"
                                  << document.Serialize().toStdString();
  return parsed.value_or(TRegistryDocument());
}

TEST(RegistryDocument, EveryKindOfValueSurvivesWritingAndReading) {
  TRegistryDocument document;
  document.CreateKey(TRootKey::CurrentUser, kMain);
  const std::vector<std::pair<QString, TRegValue>> values = {
      {"Plain", TRegValue::String("FALSE")},
      {"Quotes \"and\" \\slashes\\", TRegValue::String("C:\\Photos \"2001\"\\")},
      {"Lines", TRegValue::String("first\r\nsecond\tthird")},
      {"Unicode", TRegValue::String(QString::fromUtf8("Bilder \xc3\xa4\xe2\x82\xac"))},
      {"Empty", TRegValue::String("")},
      {"Zero inside", TRegValue::String(QString("a") + QChar(0) + "b")},
      {"Negative", TRegValue::Integer(-16777201)},
      {"Width", TRegValue::Integer(577)},
      {"Expand", TRegValue{kRegExpandSz, "%HOME%\\x", 0, {}}},
      {"Blob", TRegValue{kRegBinary, {}, 0, QByteArray(100, '\x7f')}},
      {"Other", TRegValue{11, {}, 0, QByteArray("\x01\x02", 2)}},
      {"", TRegValue::String("default value")},
  };
  for (const auto& [name, value] : values)
    ASSERT_EQ(document.SetValue(TRootKey::CurrentUser, kMain, name, value, nullptr), kErrorSuccess);

  const TRegistryDocument again = Reparsed(document);
  for (const auto& [name, value] : values) {
    const TRegValue* read = again.Value(TRootKey::CurrentUser, kMain, name);
    ASSERT_NE(read, nullptr) << name.toStdString();
    EXPECT_EQ(*read, value) << name.toStdString();
  }
  EXPECT_EQ(again.Serialize(), document.Serialize());
}

TEST(RegistryDocument, WritesTheExportFormat) {
  TRegistryDocument document;
  document.CreateKey(TRootKey::CurrentUser, "Software\\Brackwell\\Kestrel\\SlideShow");
  document.SetValue(TRootKey::CurrentUser, "Software\\Brackwell\\Kestrel\\SlideShow", "Timer",
                    TRegValue::Integer(33), nullptr);
  document.SetValue(TRootKey::CurrentUser, "Software\\Brackwell\\Kestrel\\SlideShow", "Name",
                    TRegValue::String("a\"b"), nullptr);
  document.CreateKey(TRootKey::LocalMachine, "Software\\Brackwell\\Kestrel\\Ver 0.1.0");
  const QString text = QString::fromUtf8(document.Serialize());
  EXPECT_TRUE(text.startsWith("Windows Registry Editor Version 5.00\n"));
  EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\SlideShow]\n"
                            "\"Timer\"=dword:00000021\n"
                            "\"Name\"=\"a\\\"b\"\n"));
  EXPECT_TRUE(text.contains("[HKEY_LOCAL_MACHINE\\Software\\Brackwell\\Kestrel\\Ver 0.1.0]\n"));
  // Parent keys are implied by their sub-keys and not written on their own.
  EXPECT_FALSE(text.contains("[HKEY_CURRENT_USER\\Software]"));
}

TEST(RegistryDocument, ReadsWhatTheExportToolWrites) {
  const QByteArray text = "\xef\xbb\xbf"
                          "Windows Registry Editor Version 5.00\r\n"
                          "\r\n"
                          "; a comment\r\n"
                          "[HKEY_CURRENT_USER\\Software\\Brackwell\\Kestrel\\Color]\r\n"
                          "\"Image Frame\"=dword:00ff00ff\r\n"
                          "\"Long\"=hex(1):4b,00,65,00,73,00,74,00,72,00,65,00,6c,00,21,00,\\\r\n"
                          "  00,00\r\n"
                          "@=\"default\"\r\n"
                          "\"Half\"=hex(1):41,00,02,df,00,00\r\n"; // a lone low surrogate
  QString error;
  const auto document = TRegistryDocument::Parse(text, &error);
  ASSERT_TRUE(document.has_value()) << error.toStdString();
  const QString color = "software\\brackwell\\kestrel\\COLOR"; // any case
  ASSERT_NE(document->Value(TRootKey::CurrentUser, color, "image frame"), nullptr);
  EXPECT_EQ(document->Value(TRootKey::CurrentUser, color, "Image Frame")->Number, 0x00ff00ffu);
  EXPECT_EQ(document->Value(TRootKey::CurrentUser, color, "Long")->Text, "Kestrel!");
  EXPECT_EQ(document->Value(TRootKey::CurrentUser, color, "")->Text, "default");
  // What UTF-8 cannot carry is written back as UTF-16 bytes, unchanged.
  const QString half = QString("A") + QChar(0xdf02);
  EXPECT_EQ(document->Value(TRootKey::CurrentUser, color, "Half")->Text, half);
  EXPECT_EQ(Reparsed(*document).Value(TRootKey::CurrentUser, color, "Half")->Text, half);
  EXPECT_TRUE(document->KeyExists(TRootKey::CurrentUser, "Software\\Brackwell"));
  EXPECT_FALSE(document->KeyExists(TRootKey::LocalMachine, "Software\\Brackwell"));
}

TEST(RegistryDocument, ASectionForARootHoldsItsValues) {
  const QByteArray text =
      "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USEr]\n\"a\"=\"b\"\n";
  QString error;
  const auto document = TRegistryDocument::Parse(text, &error);
  ASSERT_TRUE(document.has_value()) << error.toStdString();
  ASSERT_NE(document->Value(TRootKey::CurrentUser, "", "a"), nullptr);
  EXPECT_EQ(Reparsed(*document).Value(TRootKey::CurrentUser, "", "a")->Text, "b");
  EXPECT_TRUE(document->Serialize().contains("[HKEY_CURRENT_USER]\n\"a\"=\"b\"\n"));
}

TEST(RegistryDocument, RefusesDamagedText) {
  const char* header = "Windows Registry Editor Version 5.00\n";
  const std::vector<std::pair<const char*, QByteArray>> damaged = {
      {"empty", ""},
      {"no header", "[HKEY_CURRENT_USER\\Software]\n"},
      {"other header", "REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n"},
      {"value outside a key", QByteArray(header) + "\"a\"=\"b\"\n"},
      {"unknown root", QByteArray(header) + "[HKEY_USERS\\x]\n"},
      {"root prefix only", QByteArray(header) + "[HKEY_CURRENT_USERS\\x]\n"},
      {"key deletion", QByteArray(header) + "[-HKEY_CURRENT_USER\\x]\n"},
      {"value deletion", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=-\n"},
      {"bad escape", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=\"c:\\d\"\n"},
      {"unclosed string", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\n"},
      {"text after string", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\"c\n"},
      {"long dword", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=dword:123456789\n"},
      {"empty dword", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=dword:\n"},
      {"bad hex", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=hex:0g\n"},
      {"odd text bytes", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=hex(1):41\n"},
      {"short dword bytes", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=hex(4):01,02\n"},
      {"stray text", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\nwidth=3\n"},
      {"not UTF-8", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=\"\xff\xfe\"\n"},
      {"truncated", QByteArray(header) + "[HKEY_CURRENT_USER\\x"},
      {"control character", QByteArray(header) + "[HKEY_CURRENT_USER\\x]\n\"a\"=\"b\x01\"\n"},
      {"zero byte", QByteArray(header) + QByteArray("[HKEY_CURRENT_USER\\x\0]\n", 23)},
  };
  for (const auto& [what, text] : damaged) {
    QString error;
    EXPECT_FALSE(TRegistryDocument::Parse(text, &error).has_value()) << what;
  }
}

TEST(RegistryDocument, KeysTooDeepAndDataTooLongAreLeftOutAndTheRestRead) {
  const QString key = "Software\\Kestrel";
  TRegistryDocument document;
  document.CreateKey(TRootKey::CurrentUser, key);
  const int limit = TRegistryDocument::kMaxValueBytes;
  const std::pair<QString, TRegValue> values[] = {
      {"Big", TRegValue{kRegBinary, {}, 0, QByteArray(limit + 1, '\x5a')}},
      {"Limit", TRegValue{kRegBinary, {}, 0, QByteArray(limit, '\x5b')}},
      {"Text", TRegValue::String(QString(limit / 2, 'w'))}, // with its zero, past the limit
      {QString(TRegistryDocument::kMaxValueNameLength + 1, 'n'), TRegValue::Integer(1)},
      {"After", TRegValue::Integer(7)},
  };
  for (const auto& [name, value] : values)
    document.SetValue(TRootKey::CurrentUser, key, name, value, nullptr);
  QByteArray text = document.Serialize();
  const auto lineOf = [&](const QByteArray& what) {
    return text.left(text.indexOf(what)).count('\n') + 1;
  };
  const QByteArray deep = "[HKEY_CURRENT_USER" + QByteArray("\\d").repeated(513) + "]";
  const QByteArray deepest = "[HKEY_CURRENT_USER" + QByteArray("\\e").repeated(512) + "]";
  text += deep + "\n\"In\"=hex:01,\\\n  02\n" + deepest + "\n\"In\"=dword:00000002\n";

  QString error;
  QStringList leftOut;
  const auto parsed = TRegistryDocument::Parse(text, &error, &leftOut);
  ASSERT_TRUE(parsed.has_value()) << error.toStdString();
  EXPECT_EQ(leftOut,
            QStringList(
                {QString("line %1: the value \"Big\" of [HKEY_CURRENT_USER\\Software\\"
                         "Kestrel], longer than 1048576 bytes")
                     .arg(lineOf("\"Big\"")),
                 QString("line %1: the value \"Text\" of [HKEY_CURRENT_USER\\Software\\"
                         "Kestrel], longer than 1048576 bytes")
                     .arg(lineOf("\"Text\"")),
                 QString("line %1: a value name longer than 16383 characters").arg(lineOf("\"nnn")),
                 QString("line %1: a key nested deeper than 512 levels").arg(lineOf(deep))}));
  EXPECT_EQ(parsed->Value(TRootKey::CurrentUser, key, "Big"), nullptr);
  ASSERT_NE(parsed->Value(TRootKey::CurrentUser, key, "Limit"), nullptr);
  EXPECT_EQ(parsed->Value(TRootKey::CurrentUser, key, "Limit")->Bytes.size(), limit);
  EXPECT_EQ(parsed->Value(TRootKey::CurrentUser, key, "After")->Number, 7u);
  EXPECT_FALSE(parsed->KeyExists(TRootKey::CurrentUser, "d"));
  const QString deepestPath = QString("e\\").repeated(512).chopped(1);
  ASSERT_NE(parsed->Value(TRootKey::CurrentUser, deepestPath, "In"), nullptr);
  EXPECT_EQ(parsed->Value(TRootKey::CurrentUser, deepestPath, "In")->Number, 2u);
}

TEST(RegistryDocument, KeysBehaveAsRegistryKeys) {
  TRegistryDocument document;
  EXPECT_TRUE(document.CreateKey(TRootKey::CurrentUser, "A\\B\\C"));
  EXPECT_FALSE(document.CreateKey(TRootKey::CurrentUser, "a\\b\\c"));
  EXPECT_TRUE(document.KeyExists(TRootKey::CurrentUser, "a\\B"));
  document.SetValue(TRootKey::CurrentUser, "A\\B", "Value", TRegValue::String("x"), nullptr);
  document.CreateKey(TRootKey::CurrentUser, "A\\B\\Longer name");

  const auto info = document.KeyInfo(TRootKey::CurrentUser, "A\\B");
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(info->NumSubKeys, 2);
  EXPECT_EQ(info->MaxSubKeyLen, 11);
  EXPECT_EQ(info->NumValues, 1);
  EXPECT_EQ(info->MaxDataLen, 2);
  EXPECT_FALSE(document.KeyInfo(TRootKey::LocalMachine, "A\\B").has_value());

  // A key with sub-keys is not deleted; its sub-keys first, then the key.
  EXPECT_EQ(document.DeleteKey(TRootKey::CurrentUser, "A\\B"), kErrorAccessDenied);
  EXPECT_EQ(document.DeleteKey(TRootKey::CurrentUser, "A\\B\\C"), kErrorSuccess);
  EXPECT_EQ(document.DeleteKey(TRootKey::CurrentUser, "A\\B\\longer NAME"), kErrorSuccess);
  EXPECT_EQ(document.DeleteKey(TRootKey::CurrentUser, "A\\B"), kErrorSuccess);
  EXPECT_EQ(document.DeleteKey(TRootKey::CurrentUser, "A\\B"), kErrorFileNotFound);
  EXPECT_EQ(document.SetValue(TRootKey::CurrentUser, "A\\B", "x", TRegValue::Integer(1), nullptr),
            kErrorFileNotFound);

  bool changed = true;
  document.SetValue(TRootKey::CurrentUser, "A", "v", TRegValue::Integer(1), &changed);
  EXPECT_TRUE(changed);
  document.SetValue(TRootKey::CurrentUser, "A", "V", TRegValue::Integer(1), &changed);
  EXPECT_FALSE(changed);
}

} // namespace
} // namespace kestrel
