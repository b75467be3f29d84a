#include "cli/batch.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

#include "conversion/stop_texts.h"
#include "services/error.h"
#include "services/file_system.h"
#include "services/stop_signals.h"

namespace zerova {
namespace {

// The most bytes of a sheet's name kept in a file name; with NAME and ".xml"
// it stays within the 255 bytes a file name may have.
constexpr std::size_t kMostSheetNameBytes = 200;

// `text` in ASCII lower case, for names that must differ in more than case.
std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// `name` made safe for a file name, before it is made unique.
std::string SafeName(const std::string& name) {
  std::string safe;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    safe.push_back(c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F ? '_' : c);
  }
  if (safe.size() > kMostSheetNameBytes) {
    std::size_t end = kMostSheetNameBytes;
    while (end > 0 && (static_cast<unsigned char>(safe[end]) & 0xC0) == 0x80) --end;
    safe.resize(end);
  }
  if (safe.empty()) return "_";
  if (safe[0] == '.') safe[0] = '_';
  return safe;
}

// A second signal between two files of a batch.
constexpr char kBatchStopped[] = "the conversions were stopped between two files";

// "1 document written, 2 files failed".
std::string Counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A batch's conversions, a FILE at a time, and what they came to.
class Batch {
 public:
  explicit Batch(Converter& converter) : converter_(converter), options_(converter.options()) {}

  int Run(const std::vector<BatchItem>& batch);

 private:
  // One FILE into its document; every worksheet of it with --all-sheets.
  int ConvertFile(const BatchItem& item);
  int ConvertSheets(const BatchItem& item);

  Converter& converter_;
  const CommandLineOptions& options_;
  int documents_ = 0;
  int failed_files_ = 0;
};

int Batch::ConvertFile(const BatchItem& item) {
  LastWords words(converter_.Line(SourceName(item.file), kCancelledBeforeWriting));
  ConversionRequest request;
  request.output = item.stem + ".xml";
  const std::string document = request.output;
  const int status = converter_.Convert(item.file, std::move(request), document, true, words);
  if (status == kConverted || status == kNoNodes) ++documents_;
  if (status == kFailed) ++failed_files_;  // not a stop
  return status;
}

int Batch::ConvertSheets(const BatchItem& item) {
  const std::string source = SourceName(item.file);
  LastWords words(converter_.Line(source, kCancelledBeforeWriting));
  converter_.StartProgress();
  int status = kConverted;
  try {
    OpenedWorkbook opened = converter_.Open(item.file, kCancelledBeforeWriting);
    const std::vector<SheetInfo>& sheets = opened.book->Sheets();
    const std::vector<std::string> names = SheetFileNames(sheets);
    for (std::size_t i = 0; i < sheets.size() && status < 128; ++i) {
      if (StopSignal() != 0) throw Cancelled(source, kCancelledBeforeWriting);
      if (sheets[i].kind != SheetKind::kWorksheet) {
        converter_.Note(source, "the sheet \"" + sheets[i].name + "\" is a " +
                                    SheetKindName(sheets[i].kind) + "; it was skipped");
        continue;
      }
      ConversionRequest request;
      request.sheet = {SheetRequest::By::kNumber, "", i + 1};
      request.output = item.stem + "." + names[i] + ".xml";
      const std::string document = request.output;
      const int converted =
          converter_.Convert(item.file, std::move(request), document, true, words, &opened);
      if (converted == kConverted || converted == kNoNodes) ++documents_;
      status = Worse(status, converted);
    }
  } catch (...) {
    status = converter_.Fail(std::current_exception(), source);
  }
  if (status == kFailed) ++failed_files_;
  return status;
}

int Batch::Run(const std::vector<BatchItem>& batch) {
  try {
    converter_.disk().CreateFolders(options_.outdir);
  } catch (...) {
    return converter_.Fail(std::current_exception(), options_.outdir);
  }
  LastWords words(converter_.Line("", kBatchStopped));
  int status = kConverted;
  for (const BatchItem& item : batch) {
    if (StopSignal() != 0) {
      SayLast(converter_.Line(SourceName(item.file), kCancelledBeforeWriting));
      status = 128 + StopSignal();
      break;
    }
    const int converted = options_.all_sheets ? ConvertSheets(item) : ConvertFile(item);
    status = Worse(status, converted);
    if (converted >= 128) break;
  }
  if (!options_.quiet && (batch.size() > 1 || options_.all_sheets)) {
    SayLast(converter_.Line("", Counted(documents_, "document", "documents") + " written, " +
                                    Counted(failed_files_, "file", "files") + " failed"));
  }
  return status;
}

}  // namespace

std::vector<BatchItem> PlanBatch(const std::string& outdir, const std::vector<std::string>& files,
                                 bool keep_extension, std::string* refusal) {
  std::vector<BatchItem> items;
  std::map<std::string, const std::string*> first_with;  // stem: the FILE that has it
  std::string clashes;
  bool extension_parts = false;  // --keep-extension would part some clash
  for (const std::string& file : files) {
    const std::filesystem::path path(file);
    // stem(): the name without its last extension; a leading dot starts no extension.
    const std::string name = keep_extension ? path.filename().string() : path.stem().string();
    BatchItem item{file, PathInFolder(outdir, name)};
    const auto [seen, added] = first_with.emplace(item.stem, &file);
    if (!added) {
      if (!clashes.empty()) clashes += "; ";
      clashes += PrintableText(*seen->second) + " and " + PrintableText(file) +
                 " would both be converted into " + PrintableText(item.stem) + ".xml";
      extension_parts |= std::filesystem::path(*seen->second).filename() != path.filename();
    }
    items.push_back(std::move(item));
  }
  if (clashes.empty()) return items;
  *refusal = clashes + (extension_parts ? "; give --keep-extension to keep both" : "");
  return {};
}

std::vector<std::string> SheetFileNames(const std::vector<SheetInfo>& sheets) {
  std::vector<std::string> names;
  std::set<std::string> taken;  // in lower case
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    std::string name = SafeName(sheets[i].name);
    if (!taken.insert(Lowered(name)).second) {
      name += "-" + std::to_string(i + 1);
      taken.insert(Lowered(name));
    }
    names.push_back(std::move(name));
  }
  return names;
}

int ConvertBatch(Converter& converter, const std::vector<BatchItem>& batch) {
  return Batch(converter).Run(batch);
}

}  // namespace zerova
