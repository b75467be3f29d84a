// Reading a large password-protected .xlsx against reading the same package in
// the clear: decryption (reading the EncryptedPackage stream, its HMAC, AES-CBC
// over every 4,096-byte segment) must cost less than reading the workbook once
// more, so the encrypted read stays under twice the plain one.
//
// The plain package is a 200,000-row, two-column sheet, stored without
// compression so the package is large (about 14 MB). The encrypted one reuses the
// Agile header of tests/data/encrypted/agile-sha1-aes128.xlsx (password "variant",
// 1,000 rounds): the package is sealed again here under that file's key, with
// Nettle's AES, and its HMAC is renewed.
#include <benchmark/benchmark.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile-zip.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <nettle/aes.h>
#include <nettle/base64.h>
#include <nettle/cbc.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "formats/containers/ole2_container.h"
#include "formats/crypto/cipher.h"
#include "formats/ooxml_crypto/encryption_info.h"
#include "formats/ooxml_crypto/package_key.h"
#include "formats/registry.h"
#include "services/spreadsheet.h"
#include "support/document.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
using OutputPtr = std::unique_ptr<GsfOutput, GObjectUnref>;

void Put(GsfOutfile* folder, const char* name, const std::string& text, bool zip) {
  OutputPtr part(zip ? gsf_outfile_new_child_full(folder, name, FALSE, "compression-level",
                                                  GSF_ZIP_STORED, nullptr)
                     : gsf_outfile_new_child(folder, name, FALSE));
  gsf_output_write(part.get(), text.size(), reinterpret_cast<const guint8*>(text.data()));
  gsf_output_close(part.get());
}

// Writes the parts with libgsf into a zip (or an OLE2 file) in memory.
Bytes Container(const std::vector<std::pair<const char*, std::string>>& parts, bool zip) {
  OutputPtr sink(gsf_output_memory_new());
  OutputPtr root(zip ? GSF_OUTPUT(gsf_outfile_zip_new(sink.get(), nullptr))
                     : GSF_OUTPUT(gsf_outfile_msole_new(sink.get())));
  for (const auto& [name, text] : parts) Put(GSF_OUTFILE(root.get()), name, text, zip);
  gsf_output_close(root.get());
  const auto* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
  return Bytes(data, data + gsf_output_size(sink.get()));
}

Bytes PlainPackage() {
  std::string rows;
  for (int r = 1; r <= 200000; ++r) {
    const std::string n = std::to_string(r);
    rows += "<row r=\"" + n + "\"><c r=\"A" + n + "\"><v>" + n + "</v></c><c r=\"B" + n +
            "\" t=\"inlineStr\"><is><t>value " + n + "</t></is></c></row>";
  }
  const std::string rel = "http://schemas.openxmlformats.org/package/2006/relationships";
  const std::string doc = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
  return Container(
      {{"[Content_Types].xml",
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
       {"_rels/.rels", "<Relationships xmlns=\"" + rel + "\"><Relationship Id=\"r\" Type=\"" + doc +
                           "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
       {"xl/workbook.xml",
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"" +
            doc +
            "\"><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"s\"/></sheets>"
            "</workbook>"},
       {"xl/_rels/workbook.xml.rels",
        "<Relationships xmlns=\"" + rel + "\"><Relationship Id=\"s\" Type=\"" + doc +
            "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
       {"xl/worksheets/sheet1.xml",
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<sheetData>" +
            rows + "</sheetData></worksheet>"}},
      true);
}

zerova::SecretBytes Iv(const zerova::AgileKeyParameters& data, zerova::ByteView block) {
  zerova::SecretBytes iv = zerova::Digest(data.hash, {data.salt, block});
  iv.resize(16, 0x36);
  return iv;
}

void CbcEncrypt(const zerova::SecretBytes& key, zerova::SecretBytes iv, std::uint8_t* data,
                std::size_t size) {
  aes128_ctx aes;
  aes128_set_encrypt_key(&aes, key.data());
  cbc_encrypt(&aes, reinterpret_cast<nettle_cipher_func*>(aes128_encrypt), 16, iv.data(), size,
              data, data);
}

std::string Base64(const Bytes& bytes) {
  std::string out(BASE64_ENCODE_RAW_LENGTH(bytes.size()), '\0');
  base64_encode_raw(reinterpret_cast<char*>(out.data()), bytes.size(), bytes.data());
  return out;
}

// The plain package sealed under the fixture's key, in an OLE2 file.
Bytes EncryptedFile(const Bytes& plain) {
  const std::string fixture = ZEROVA_TEST_DATA "/encrypted/agile-sha1-aes128.xlsx";
  std::ifstream in(fixture, std::ios::binary);
  const Bytes file(std::istreambuf_iterator<char>(in), {});
  const zerova::Ole2Container ole(file, fixture);
  const Bytes info_stream = ole.Read("EncryptionInfo");
  const zerova::AgileInfo info = zerova::ParseEncryptionInfo(info_stream, fixture).agile_info;
  const std::string password = "variant";
  const zerova::SecretBytes key = *zerova::AgilePackageKey(
      info,
      zerova::ByteView(reinterpret_cast<const std::uint8_t*>(password.data()), password.size()));

  Bytes stream(8 + (plain.size() + 15) / 16 * 16, 0);
  for (int i = 0; i < 8; ++i) stream[i] = static_cast<std::uint8_t>(plain.size() >> (8 * i));
  std::copy(plain.begin(), plain.end(), stream.begin() + 8);
  for (std::size_t at = 8, segment = 0; at < stream.size(); at += 4096, ++segment) {
    const std::uint8_t index[4] = {static_cast<std::uint8_t>(segment),
                                   static_cast<std::uint8_t>(segment >> 8), 0, 0};
    CbcEncrypt(key, Iv(info.data, index), stream.data() + at,
               std::min<std::size_t>(4096, stream.size() - at));
  }
  const std::uint8_t key_block[8] = {0x5F, 0xB2, 0xAD, 0x01, 0x0C, 0xB9, 0xE1, 0xF6};
  const std::uint8_t value_block[8] = {0xA0, 0x67, 0x7F, 0x02, 0xB2, 0x2C, 0x84, 0x33};
  zerova::SecretBytes hmac_key(info.encrypted_hmac_key.begin(), info.encrypted_hmac_key.end());
  zerova::AesDecryption(key).Cbc(Iv(info.data, key_block), hmac_key);
  hmac_key.resize(20);
  Bytes hmac(32, 0);
  const zerova::SecretBytes digest = zerova::HmacDigest(info.data.hash, hmac_key, stream);
  std::copy(digest.begin(), digest.end(), hmac.begin());
  CbcEncrypt(key, Iv(info.data, value_block), hmac.data(), hmac.size());

  std::string text(info_stream.begin(), info_stream.end());
  const std::size_t at = text.find("encryptedHmacValue=\"") + 20;
  text.replace(at, text.find('"', at) - at, Base64(hmac));
  return Container(
      {{"EncryptionInfo", text}, {"EncryptedPackage", std::string(stream.begin(), stream.end())}},
      false);
}

const Bytes& Plain() {
  static const Bytes plain = PlainPackage();
  return plain;
}

// The active sheet of the workbook in `bytes`, read as a conversion reads it.
std::unique_ptr<zerova::Worksheet> ReadActive(const Bytes& bytes, const char* name,
                                              zerova::PasswordSource* passwords = nullptr) {
  const auto book = zerova::OpenWorkbook(zerova::WorkbookSource::View(bytes, name, passwords));
  return book->ReadSheet(book->ActiveSheet());
}

void BM_ReadPlain(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(ReadActive(Plain(), "plain.xlsx"));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Plain().size()));
}
BENCHMARK(BM_ReadPlain)->Unit(benchmark::kMillisecond);

void BM_ReadEncrypted(benchmark::State& state) {
  static const Bytes encrypted = EncryptedFile(Plain());
  for (auto _ : state) {
    zerova::test::GivenPasswords passwords({"variant"});
    benchmark::DoNotOptimize(ReadActive(encrypted, "locked.xlsx", &passwords));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Plain().size()));
}
BENCHMARK(BM_ReadEncrypted)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
