// ParseXmlMember: a zip member's XML parsed on the calling thread while a second
// thread inflates it.
//
// Inflating a large part takes a good fraction of the time parsing it does; side
// by side on two cores, reading the part takes about as long as parsing it. The
// inflating thread fills a few buffers ahead of the parser (ChunkQueue) and waits
// when they are full, so memory stays flat whatever the part's size.
//
// The member reports its reading to the archive's progress from the inflating
// thread, and a stop thrown there (Cancelled) ends the inflating at once and
// reaches the caller once the parser has taken what was inflated before it, a
// few buffers. A failure of the parser or of its handler ends the inflating
// within one buffer. Either way both threads have stopped when the call returns
// or throws.
#ifndef ZEROVA_FORMATS_XML_MEMBER_PARSE_H_
#define ZEROVA_FORMATS_XML_MEMBER_PARSE_H_

#include <cstddef>
#include <string>

#include "formats/containers/zip_archive.h"
#include "formats/xml/sax_parser.h"

namespace zerova {

// How many buffers the inflating thread may fill ahead of the parser, and how big.
struct MemberBuffers {
  std::size_t count = 4;
  std::size_t size = 256 * 1024;
};

// Parses the XML of the member at `path` of `zip` for `handler`, pulled by
// libxml2's reading parser; `zip.file()` names the zip in error messages, and
// `named` the part ("" for `path` itself).
// Returns once the whole part is parsed. Throws what the member's reading
// throws (ReadError for a damaged member or a zip bomb, Cancelled for a stop),
// what SaxParser throws (a document type declaration, malformed XML), and what
// the handler throws, whichever comes first in the part. A malformed part is
// read a second time by libxml2's push parser, alone, for the words of its
// refusal, which that parser has always given.
// REQUIRES: the archive is used by no other thread meanwhile.
void ParseXmlMember(ZipArchive& zip, const std::string& path, SaxHandler& handler,
                    MemberBuffers buffers = {}, const std::string& named = "");

}  // namespace zerova

#endif  // ZEROVA_FORMATS_XML_MEMBER_PARSE_H_
