#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/qt/text.h"

namespace orv::qt {
namespace {

// Every code unit must come through as it is: Qt's own conversion drops a
// leading U+FEFF and byte-swaps the text after a leading U+FFFE.
TEST(ToQString, KeepsEveryCodeUnit) {
  const std::vector<std::u16string> cases = {
      u"",
      u"eth0 ",
      std::u16string(u"\uFFFE\u3900\u6100"),  // would read as "9a" byte-swapped
      u"\uFEFFlo",
      u"\uFEFF",
      u"a\uFFFEb",
      std::u16string(u"nul\0inside", 10),
      u"\xD800 lone high, lone low \xDC00",
      u"\u4E0B\u8F7D",
  };
  for (const std::u16string& text : cases) {
    const QString q = ToQString(text);
    ASSERT_EQ(q.size(), static_cast<qsizetype>(text.size()));
    for (std::size_t i = 0; i < text.size(); ++i) {
      EXPECT_EQ(q.at(static_cast<qsizetype>(i)).unicode(), text[i]) << "unit " << i;
    }
    EXPECT_EQ(q.toStdU16String(), text);
  }
}

}  // namespace
}  // namespace orv::qt
