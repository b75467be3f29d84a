// Peak memory of reading a 1,000,000-row, one-column .xlsx.
//
// Each workbook is written once per run into a temporary file, then opened with
// the spreadsheet service, as `zerova FILE` opens it, in a child process, so every
// measurement starts from a fresh peak: the counters report the child's peak RSS
// growth during the read next to the file's size and the sheet XML's
// uncompressed size. The lean and padded workbooks hold the same
// cells in XML of very different sizes (the padded one adds formulas and row
// attributes the reader skips); their memory stays alike, proportional to the
// cells. The shared-text workbook names 1,000 long shared strings a thousand
// times each; its cells cost an index each, not a copy of the text.
#include <benchmark/benchmark.h>
#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "formats/registry.h"
#include "services/error.h"
#include "services/spreadsheet.h"

namespace {

constexpr int kRows = 1000000;

enum Variant { kLean, kPadded, kSharedText };

struct Workbook {
  std::string path;
  std::uint64_t xml_bytes = 0;  // the sheet part, uncompressed
};

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
using OutputPtr = std::unique_ptr<GsfOutput, GObjectUnref>;

void Write(GsfOutput* output, const std::string& text) {
  gsf_output_write(output, text.size(), reinterpret_cast<const guint8*>(text.data()));
}

// Adds `name` (in `folder`) holding `text`.
void AddPart(GsfOutfile* folder, const char* name, const std::string& text) {
  OutputPtr part(gsf_outfile_new_child(folder, name, FALSE));
  Write(part.get(), text);
  gsf_output_close(part.get());
}

std::string SheetRow(Variant variant, int row) {
  const std::string r = std::to_string(row);
  switch (variant) {
    case kLean:
      return "<row r=\"" + r + "\"><c r=\"A" + r + "\"><v>" + r + "</v></c></row>";
    case kPadded:
      return "<row r=\"" + r +
             "\" spans=\"1:1\" ht=\"12.8\" customHeight=\"false\" hidden=\"false\" "
             "outlineLevel=\"0\" collapsed=\"false\"><c r=\"A" +
             r + "\" s=\"0\" t=\"n\"><f aca=\"false\">ROUND(ABS(" + r + "*1.0)+0*SIN(" + r +
             ")+0*COS(" + r + ")+0*LN(" + r + "+1),0)</f><v>" + r + "</v></c></row>";
    case kSharedText:
      return "<row r=\"" + r + "\"><c r=\"A" + r + "\" t=\"s\"><v>" + std::to_string(row % 1000) +
             "</v></c></row>";
  }
  return "";
}

Workbook Generate(Variant variant) {
  const char* main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
  const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  const std::string package = "http://schemas.openxmlformats.org/package/2006/relationships";
  Workbook book;
  book.path = (std::filesystem::temp_directory_path() /
               ("zerova_xlsx_memory_bench_" + std::to_string(::getpid()) + "_" +
                std::to_string(variant) + ".xlsx"))
                  .string();
  OutputPtr file(gsf_output_stdio_new(book.path.c_str(), nullptr));
  OutputPtr zip(GSF_OUTPUT(gsf_outfile_zip_new(file.get(), nullptr)));
  GsfOutfile* root = GSF_OUTFILE(zip.get());
  OutputPtr rels_folder(gsf_outfile_new_child(root, "_rels", TRUE));
  AddPart(GSF_OUTFILE(rels_folder.get()), ".rels",
          "<Relationships xmlns=\"" + package + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
              "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
  gsf_output_close(rels_folder.get());
  OutputPtr xl(gsf_outfile_new_child(root, "xl", TRUE));
  GsfOutfile* xl_folder = GSF_OUTFILE(xl.get());
  AddPart(xl_folder, "workbook.xml",
          std::string("<workbook xmlns=\"") + main + "\" xmlns:r=\"" + rel +
              "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>");
  std::string shared = std::string("<sst xmlns=\"") + main + "\">";
  for (int i = 0; i < 1000; ++i) shared += "<si><t>" + std::string(100, 'a' + i % 26) + "</t></si>";
  AddPart(xl_folder, "sharedStrings.xml", shared + "</sst>");
  OutputPtr xl_rels(gsf_outfile_new_child(xl_folder, "_rels", TRUE));
  AddPart(GSF_OUTFILE(xl_rels.get()), "workbook.xml.rels",
          "<Relationships xmlns=\"" + package + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
              "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" +
              rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
  gsf_output_close(xl_rels.get());
  OutputPtr sheets(gsf_outfile_new_child(xl_folder, "worksheets", TRUE));
  OutputPtr sheet(gsf_outfile_new_child(GSF_OUTFILE(sheets.get()), "sheet1.xml", FALSE));
  std::string chunk = std::string("<worksheet xmlns=\"") + main + "\"><sheetData>";
  for (int row = 1; row <= kRows; ++row) {
    chunk += SheetRow(variant, row);
    if (chunk.size() > (1 << 20) || row == kRows) {
      if (row == kRows) chunk += "</sheetData></worksheet>";
      Write(sheet.get(), chunk);
      book.xml_bytes += chunk.size();
      chunk.clear();
    }
  }
  gsf_output_close(sheet.get());
  gsf_output_close(sheets.get());
  gsf_output_close(xl.get());
  gsf_output_close(zip.get());
  gsf_output_close(file.get());
  return book;
}

// The workbooks of this run, written on first use and removed at exit.
class Workbooks {
 public:
  const Workbook& Get(Variant variant) {
    auto it = books_.find(variant);
    if (it == books_.end()) it = books_.emplace(variant, Generate(variant)).first;
    return it->second;
  }
  ~Workbooks() {
    for (const auto& [variant, book] : books_) std::filesystem::remove(book.path);
  }

 private:
  std::map<Variant, Workbook> books_;
};

long PeakRssKib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Reads `path` in a child process; returns its peak RSS growth in bytes, or -1.
long ReadInChild(const std::string& path) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    const long before = PeakRssKib();
    long growth = -1;
    try {
      const auto book = zerova::NewSpreadsheetService()->Open({path, {}, nullptr}, nullptr);
      const auto sheet = book->ReadSheet(book->ActiveSheet());
      if (!sheet->Cell(kRows, 1).IsEmpty()) growth = (PeakRssKib() - before) * 1024;
    } catch (const zerova::Error& e) {
      std::fprintf(stderr, "%s\n", e.what());
    }
    const ssize_t written = write(pipe_ends[1], &growth, sizeof growth);
    _exit(written == sizeof growth ? 0 : 1);
  }
  close(pipe_ends[1]);
  long growth = -1;
  if (read(pipe_ends[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  close(pipe_ends[0]);
  waitpid(child, nullptr, 0);
  return growth;
}

void BM_ReadMillionRowColumn(benchmark::State& state) {
  static Workbooks workbooks;
  const auto variant = static_cast<Variant>(state.range(0));
  const Workbook& book = workbooks.Get(variant);
  long growth = -1;
  for (auto _ : state) growth = ReadInChild(book.path);
  if (growth < 0) state.SkipWithError("the workbook could not be read");
  const auto file_bytes = static_cast<double>(std::filesystem::file_size(book.path));
  state.counters["file_bytes"] = file_bytes;
  state.counters["xml_bytes"] = static_cast<double>(book.xml_bytes);
  state.counters["peak_rss_growth"] = static_cast<double>(growth);
  state.counters["growth_per_file_byte"] = static_cast<double>(growth) / file_bytes;
  state.counters["xml_bytes_per_cell"] = static_cast<double>(book.xml_bytes) / kRows;
  state.counters["rss_bytes_per_cell"] = static_cast<double>(growth) / kRows;
  state.SetLabel(variant == kLean ? "lean" : variant == kPadded ? "padded" : "shared text");
}
BENCHMARK(BM_ReadMillionRowColumn)
    ->Arg(kLean)
    ->Arg(kPadded)
    ->Arg(kSharedText)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
