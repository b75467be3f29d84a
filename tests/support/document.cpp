#include "support/document.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <fstream>
#include <iterator>

#include "conversion/conversion_run.h"
#include "conversion/sheet_choice.h"
#include "formats/containers/ole2_container.h"
#include "formats/registry.h"
#include "formats/sheet/sheet_store.h"
#include "services/error.h"
#include "services/utf8.h"
#include "support/memory_file_system.h"

namespace zerova::test {

SpreadsheetInput InMemory(std::vector<std::uint8_t> bytes, std::string name) {
  auto owner = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
  SpreadsheetInput input;
  input.path = std::move(name);
  input.bytes = *owner;
  input.bytes_owner = std::move(owner);
  return input;
}

std::unique_ptr<Worksheet> ColumnsSheet(const std::vector<std::vector<std::string>>& columns) {
  auto sheet = std::make_unique<SheetStore>();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    for (std::size_t r = 0; r < columns[c].size(); ++r) {
      sheet->Put(r + 1, c + 1, CellValue::Text(columns[c][r]));
    }
  }
  sheet->Seal();
  return sheet;
}

std::string RunFailure(SpreadsheetService& spreadsheets, FileSystem& file_system, RunHooks& hooks,
                       ConversionRequest request) {
  if (request.source.path.empty()) request.source.path = "book.xls";
  try {
    ConversionRun(spreadsheets, file_system, hooks).Run(request);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

std::string RunFailure(std::unique_ptr<Worksheet> sheet, FileSystem& file_system, RunHooks& hooks,
                       ConversionRequest request) {
  GivenSheetService service(std::move(sheet));
  return RunFailure(service, file_system, hooks, std::move(request));
}

std::string DocumentOf(std::unique_ptr<Worksheet> sheet) {
  GivenSheetService service(std::move(sheet));
  MemoryFileSystem file_system;
  RecordingHooks hooks;
  ConversionRun run(service, file_system, hooks);
  run.Run("sheet");
  return file_system.Contents(run.document_path());
}

std::unique_ptr<Worksheet> ReadActiveSheet(std::span<const std::uint8_t> bytes,
                                           const std::string& name, PasswordSource* passwords) {
  const std::unique_ptr<Workbook> book = OpenWorkbook(WorkbookSource::View(bytes, name, passwords));
  return book->ReadSheet(ChooseSheet(*book, {}, name).index);
}

std::string DocumentOfBytes(std::span<const std::uint8_t> bytes, const std::string& name,
                            PasswordSource* passwords) {
  return DocumentOf(ReadActiveSheet(bytes, name, passwords));
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

EncryptedStreams EncryptedStreamsOf(const std::string& path) {
  const std::vector<std::uint8_t> file = ReadFileBytes(path);
  const Ole2Container ole(file, path);
  return {ole.Read("EncryptionInfo"), ole.Read("EncryptedPackage")};
}

bool IsWellFormedXml(const std::string& document) {
  xmlDocPtr doc = xmlReadMemory(document.data(), static_cast<int>(document.size()), "document.xml",
                                nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (doc == nullptr) return false;
  xmlFreeDoc(doc);
  return true;
}

bool IsUtf8(std::string_view text) {
  char32_t cp;
  while (!text.empty()) {
    const std::size_t len = DecodeUtf8(text, &cp);
    if (len == 0) return false;
    text.remove_prefix(len);
  }
  return true;
}

}  // namespace zerova::test
