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
      return "FORMAT";
    case kXf:
      return "XF";
    case kSst:
      return "SST";
    case kBoundsheet:
      return "BOUNDSHEET";
    case kWindow1:
      return "WINDOW1";
    case kLabelSst:
      return "LABELSST";
    case kLabel:
      return "LABEL";
    case kRstring:
      return "RSTRING";
    case kNumber:
      return "NUMBER";
    case kRk:
      return "RK";
    case kMulRk:
      return "MULRK";
    case kBoolErr:
      return "BOOLERR";
    case kFormula:
      return "FORMULA";
    case kString:
      return "STRING";
    case kBlank:
      return "BLANK";
    case kMulBlank:
      return "MULBLANK";
    case kWsBool:
      return "WSBOOL";
    default:
      return nullptr;
  }
}

}  // namespace biff
}  // namespace zerova
