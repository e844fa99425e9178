#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/wide_text.h"
#include "win/script_printing.h"

namespace {

// A line as a page of a metafile holds it: its text and where it stands.
struct DrawnLine {
  std::wstring text;
  long x, y;
};

std::vector<DrawnLine> drawnLines(HENHMETAFILE pages) {
  std::vector<DrawnLine> drawn;
  EnumEnhMetaFile(
      nullptr, pages,
      [](HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM found) {
        if (record->iType == EMR_EXTTEXTOUTW) {
          const auto* out = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
          const auto* chars = reinterpret_cast<const wchar_t*>(
              reinterpret_cast<const BYTE*>(record) + out->emrtext.offString);
          reinterpret_cast<std::vector<DrawnLine>*>(found)->push_back(
              {std::wstring(chars, out->emrtext.nChars), out->emrtext.ptlReference.x,
               out->emrtext.ptlReference.y});
        }
        return 1;
      },
      &drawn, nullptr);
  return drawn;
}

TEST(ScriptPrinting, LinesGoDownThePageInOrderAndAFullPageStartsTheNext) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 30; ++i)
    lines.push_back("CheckAll // line " + std::to_string(i) + " \xC3\xA4");
  HDC reference = GetDC(nullptr);
  HDC dc = CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
  ReleaseDC(nullptr, reference);
  ASSERT_NE(dc, nullptr);
  // A page of 300 dots at 96 DPI holds a dozen lines between its margins of 48.
  int breaks = 0;
  const int pages = ravelin::win::drawScriptPages(dc, 96, 300, lines, [&] { ++breaks; });
  HENHMETAFILE drawn = CloseEnhMetaFile(dc);
  const std::vector<DrawnLine> shown = drawnLines(drawn);
  DeleteEnhMetaFile(drawn);

  ASSERT_EQ(shown.size(), lines.size());
  EXPECT_EQ(pages, breaks + 1);
  EXPECT_GE(pages, 2);
  int pageStarts = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].text, ravelin::platform::wideFromUtf8(lines[i]));
    EXPECT_EQ(shown[i].x, 48);
    EXPECT_GE(shown[i].y, 48);
    EXPECT_LE(shown[i].y, 300 - 48);
    if (i > 0 && shown[i].y <= shown[i - 1].y) {
      // A new page starts at its top margin.
      EXPECT_EQ(shown[i].y, 48);
      ++pageStarts;
    }
  }
  EXPECT_EQ(pageStarts + 1, pages);
}

}  // namespace
