// The image library's error classes: what the application-wide handler shows, and the fixed texts
// a C library's abnormal ends become.

#include "imaging/core/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace kestrel {
namespace {

TEST(Exceptions, CRuntimeFailuresBecomeTheBaseExceptionWithFixedTexts) {
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[] { RaiseCRuntimeExit(); }, "C RTL exit called"},
      {[] { RaiseCRuntimeAssert("x > 0, file a.c, line 3"); },
       "C RTL assert failed: x > 0, file a.c, line 3"},
      {[] { RaiseCRuntimeLongjmp(); }, "Error: C RTL longjmp called"},
  };
  for (const auto& [raise, text] : cases) {
    try {
      raise();
      ADD_FAILURE() << text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.what(), text);
      EXPECT_STREQ(e.className(), "Exception") << "the base class itself, no codec's";
    }
  }
}

TEST(Exceptions, TheImageModelsClassesNameThemselves) {
  const auto name = [](const Exception& e) { return std::string(e.className()); };
  EXPECT_EQ(name(EZeduziziError("x")), "EZeduziziError");
  EXPECT_EQ(name(EConvertError("x")), "EConvertError");
  EXPECT_EQ(name(EInvalidGraphic("x")), "EInvalidGraphic");
  EXPECT_EQ(name(EOutOfMemory("x")), "EOutOfMemory");
}

} // namespace
} // namespace kestrel
