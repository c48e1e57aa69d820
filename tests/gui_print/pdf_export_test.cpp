#include "print/ui/pdf_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "codes/cp932.h"

namespace sorvix {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TPrevX ThreePages() {
  TPrevX prev(PdfPrinter(600, 1));
  prev.MarginTop = 50;
  prev.SetPaper(9, 2);
  prev.BeginPages();
  for (int p = 0; p < 3; ++p) {
    if (p > 0) prev.AddPage();
    prev.Canvas().Font.Name = Cp932("ＭＳ ゴシック");
    prev.TextAt(100, 30, Cp932("出馬表"));
    prev.Canvas().Brush = {0xFF0000, BrushStyle::Solid};
    prev.RectangleAt(100, 100, 300, 200);
    prev.MoveToAt(0, 0);
    prev.LineToAt(2000, 0);
  }
  prev.EndPages();
  return prev;
}

TEST(PdfExport, WritesTheChosenPagesInLandscape) {
  TPrevX prev = ThreePages();
  auto path = std::filesystem::temp_directory_path() / "sorvix_pdf_export_test.pdf";
  WritePagesPdf(prev, {1, 3}, path.string());
  std::string pdf = ReadAll(path);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  // A4 landscape: 842 × 595 points.
  EXPECT_NE(pdf.find("/MediaBox [0 0 842"), std::string::npos);
  EXPECT_NE(pdf.find("IPAGothic"), std::string::npos);
  std::filesystem::remove(path);
}

TEST(PdfExport, RefusesPagesOutsideTheRecording) {
  TPrevX prev = ThreePages();
  auto path = std::filesystem::temp_directory_path() / "sorvix_pdf_export_refused.pdf";
  std::filesystem::remove(path);
  auto failure = [&](const std::vector<int>& pages, const std::string& to) {
    try {
      WritePagesPdf(prev, pages, to);
    } catch (const Error& e) {
      return std::string(e.what());
    }
    return std::string("(no error)");
  };
  EXPECT_EQ(failure({4}, path.string()), "ページ 4 はありません（全 3 ページ）");
  EXPECT_EQ(failure({}, path.string()), "書き出すページがありません");
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(failure({1}, "/nonexistent-folder/x.pdf").rfind("PDF ファイルを書き込めません: ", 0),
            0u);
}

}  // namespace
}  // namespace sorvix
