#include "services/cell_value.h"

#include <array>
#include <utility>

namespace zerova {
namespace {

constexpr std::array<std::pair<CellError, const char*>, 7> kErrorTexts = {{
    {CellError::kNull, "#NULL!"},
    {CellError::kDiv0, "#DIV/0!"},
    {CellError::kValue, "#VALUE!"},
    {CellError::kRef, "#REF!"},
    {CellError::kName, "#NAME?"},
    {CellError::kNum, "#NUM!"},
    {CellError::kNA, "#N/A"},
}};

}  // namespace

bool CellErrorFromCode(std::uint8_t code, CellError* error) {
  for (const auto& [e, text] : kErrorTexts) {
    if (static_cast<std::uint8_t>(e) == code) {
      *error = e;
      return true;
    }
  }
  return false;
}

bool CellErrorFromText(const std::string& text, CellError* error) {
  for (const auto& [e, t] : kErrorTexts) {
    if (text == t) {
      *error = e;
      return true;
    }
  }
  return false;
}

const char* CellErrorText(CellError error) {
  for (const auto& [e, text] : kErrorTexts) {
    if (e == error) return text;
  }
  return "#NULL!";
}

}  // namespace zerova
