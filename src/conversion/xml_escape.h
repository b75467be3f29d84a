// Escaping of cell text for the output document.
//
// One rule set serves both places text goes, the `lbl` attribute and the
// `value` element: & < > " become entity references; CR, LF and TAB become
// character references (so attribute normalisation cannot change them); any
// character XML 1.0 forbids, and any byte sequence that is not UTF-8, becomes
// U+FFFD. Everything else, apostrophes included, passes unchanged.
#ifndef ZEROVA_CONVERSION_XML_ESCAPE_H_
#define ZEROVA_CONVERSION_XML_ESCAPE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace zerova {

// Appends `text`, escaped, to `out`. Text with nothing to escape is appended as it is.
void AppendXmlEscaped(std::string_view text, std::string& out);

// Escapes, where it stands, the text `out` holds from offset `from` on, so a
// line's text can be appended first and escaped after. Text with nothing to
// escape is only read. REQUIRES: from <= out.size().
void EscapeXmlTail(std::string& out, std::size_t from);

}  // namespace zerova

#endif  // ZEROVA_CONVERSION_XML_ESCAPE_H_
