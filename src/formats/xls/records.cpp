#include "formats/xls/records.h"

namespace zerova {
namespace biff {

const char* RecordName(std::uint16_t id) {
  switch (id) {
    case kBof:
    case kBofBiff2:
    case kBofBiff3:
    case kBofBiff4:
      return "BOF";
    case kEof:
      return "EOF";
    case kContinue:
      return "CONTINUE";
    case kCodepage:
      return "CODEPAGE";
    case kDatemode:
      return "DATEMODE";
    case kFilepass:
      return "FILEPASS";
    case kFormat:
    case kFormatBiff2:
      return "FORMAT";
    case kXf:
    case kXfBiff2:
    case kXfBiff3:
    case kXfBiff4:
      return "XF";
    case kIxfe:
      return "IXFE";
    case kSst:
      return "SST";
    case kBoundsheet:
      return "BOUNDSHEET";
    case kWindow1:
      return "WINDOW1";
    case kLabelSst:
      return "LABELSST";
    case kLabel:
    case kLabelBiff2:
      return "LABEL";
    case kRstring:
      return "RSTRING";
    case kNumber:
    case kNumberBiff2:
      return "NUMBER";
    case kIntegerBiff2:
      return "INTEGER";
    case kRk:
      return "RK";
    case kMulRk:
      return "MULRK";
    case kBoolErr:
    case kBoolErrBiff2:
      return "BOOLERR";
    case kFormula:  // and BIFF2's
    case kFormulaBiff3:
    case kFormulaBiff4:
      return "FORMULA";
    case kString:
    case kStringBiff2:
      return "STRING";
    case kBlank:
    case kBlankBiff2:
      return "BLANK";
    case kMulBlank:
      return "MULBLANK";
    case kWsBool:
      return "WSBOOL";
    default:
      return nullptr;
  }
}

bool OpensCellTable(std::uint16_t id) {
  if (IsBiff2CellRecord(id)) return true;
  switch (id) {
    case kDimensionsBiff2:
    case kDimensions:
    case kRowBiff2:
    case kRow:
    case kBlank:
    case kNumber:
    case kLabel:
    case kBoolErr:
    case kFormulaBiff3:
    case kFormulaBiff4:
    case kString:
    case kRk:
    case kRstring:
    case kMulRk:
    case kMulBlank:
    case kLabelSst:
      return true;
    default:
      return false;
  }
}

}  // namespace biff
}  // namespace zerova
