#include "cli/batch.h"

#include <cstdio>
#include <vector>

#include "cli/document_names.h"
#include "conversion/stop_texts.h"
#include "services/error.h"
#include "services/paths.h"
#include "services/stop_signals.h"

namespace zerova {
namespace {

// A second signal between two files of a batch.
constexpr char kBatchStopped[] = "the conversions were stopped between two files";

// "1 document written, 2 files failed".
std::string Counted(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

bool Written(int status) { return status == kConverted || status == kNoNodes; }

// A batch's conversions, a FILE at a time, and what they came to.
class Batch {
 public:
  explicit Batch(Converter& converter) : converter_(converter), options_(converter.options()) {}

  int Run();

 private:
  // One FILE into its document; every worksheet of it with --all-sheets.
  int ConvertFile(const std::string& file);
  int ConvertSheets(const std::string& file);
  // Converts `file` (`opened`, open already, when not null) into a document
  // whose name is claimed for `stem` on behalf of `source`, and given back
  // when the document was not written; a renamed document gets its note.
  int ConvertInto(const std::string& file, const std::string& stem, const std::string& source,
                  ConversionRequest request, LastWords& words, OpenedWorkbook* opened = nullptr);

  Converter& converter_;
  const CommandLineOptions& options_;
  DocumentNames names_;
  int documents_ = 0;
  int failed_files_ = 0;
};

int Batch::ConvertInto(const std::string& file, const std::string& stem, const std::string& source,
                       ConversionRequest request, LastWords& words, OpenedWorkbook* opened) {
  const DocumentNames::Claim claim = names_.Take(stem, source);
  request.output = PathInFolder(options_.outdir, claim.name);
  const std::string document = request.output;
  const int status = converter_.Convert(file, std::move(request), document, true, words, opened);
  if (!Written(status)) {
    names_.GiveBack(claim.name);
    return status;
  }
  ++documents_;
  if (!claim.taken.empty()) {
    converter_.Note(document, "from " + source + ", as " +
                                  PathInFolder(options_.outdir, claim.taken) + " is from " +
                                  claim.taken_by);
  }
  return status;
}

int Batch::ConvertFile(const std::string& file) {
  const std::string source = SourceName(file);
  LastWords words(converter_.Line(source, kCancelledBeforeWriting));
  const int status = ConvertInto(file, DocumentStem(file, options_.keep_extension), source,
                                 ConversionRequest(), words);
  if (status == kFailed) ++failed_files_;  // not a stop
  return status;
}

int Batch::ConvertSheets(const std::string& file) {
  const std::string source = SourceName(file);
  const std::string stem = DocumentStem(file, options_.keep_extension) + ".";
  LastWords words(converter_.Line(source, kCancelledBeforeWriting));
  converter_.StartProgress();
  int status = kConverted;
  try {
    OpenedWorkbook opened = converter_.Open(file, kCancelledBeforeWriting);
    const std::vector<SheetInfo>& sheets = opened.book->Sheets();
    for (std::size_t i = 0; i < sheets.size() && status < 128; ++i) {
      if (StopSignal() != 0) throw Cancelled(source, kCancelledBeforeWriting);
      const std::string name = "\"" + sheets[i].name + "\"";
      if (sheets[i].kind != SheetKind::kWorksheet) {
        converter_.Note(source, "the sheet " + name + " is a " + SheetKindName(sheets[i].kind) +
                                    "; it was skipped");
        continue;
      }
      ConversionRequest request;
      request.sheet = {SheetRequest::By::kNumber, "", i + 1};
      status = Worse(status, ConvertInto(file, stem + SheetStem(sheets[i].name),
                                         "sheet " + name + " of " + source, std::move(request),
                                         words, &opened));
    }
  } catch (...) {
    status = converter_.Fail(std::current_exception(), source);
  }
  if (status == kFailed) ++failed_files_;
  return status;
}

int Batch::Run() {
  try {
    converter_.disk().CreateFolders(options_.outdir);
  } catch (...) {
    return converter_.Fail(std::current_exception(), options_.outdir);
  }
  LastWords words(converter_.Line("", kBatchStopped));
  int status = kConverted;
  for (const std::string& file : options_.files) {
    if (StopSignal() != 0) {
      SayLast(converter_.Line(SourceName(file), kCancelledBeforeWriting));
      status = 128 + StopSignal();
      break;
    }
    const int converted = options_.all_sheets ? ConvertSheets(file) : ConvertFile(file);
    status = Worse(status, converted);
    if (converted >= 128) break;
  }
  if (!options_.quiet && (options_.files.size() > 1 || options_.all_sheets)) {
    SayLast(converter_.Line("", Counted(documents_, "document", "documents") + " written, " +
                                    Counted(failed_files_, "file", "files") + " failed"));
  }
  return status;
}

}  // namespace

std::string DocumentStem(const std::string& file, bool keep_extension) {
  std::string name = FileNameOf(file);
  const std::size_t dot = name.rfind('.');
  if (!keep_extension && dot != std::string::npos && dot > 0 && name != "..") name.resize(dot);
  return name.empty() ? "_" : name;
}

std::string SheetStem(const std::string& sheet_name) {
  std::string safe;
  for (const char c : sheet_name) {
    const auto byte = static_cast<unsigned char>(c);
    safe.push_back(c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F ? '_' : c);
  }
  if (safe.empty()) return "_";
  if (safe[0] == '.') safe[0] = '_';
  return safe;
}

int ConvertBatch(Converter& converter) { return Batch(converter).Run(); }

}  // namespace zerova
