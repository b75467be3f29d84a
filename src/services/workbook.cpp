#include "services/workbook.h"

namespace zerova {

const char* SheetKindName(SheetKind kind) {
  switch (kind) {
    case SheetKind::kWorksheet:
      return "worksheet";
    case SheetKind::kChart:
      return "chart";
    case SheetKind::kMacro:
      return "macro sheet";
    case SheetKind::kDialog:
      return "dialog sheet";
    case SheetKind::kModule:
      return "Visual Basic module";
    case SheetKind::kOther:
      break;
  }
  return "sheet of an unknown type";
}

}  // namespace zerova
