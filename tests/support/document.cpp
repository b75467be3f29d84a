#include "support/document.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

#include <fstream>
#include <iterator>

#include "conversion/conversion_run.h"
#include "conversion/sheet_choice.h"
#include "formats/registry.h"
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
