#include "formats/common/opc_package.h"

#include "formats/common/xml_stream.h"
#include "services/error.h"

namespace zerova {
namespace {

constexpr std::string_view kPackageRelationshipsNamespace =
    "http://schemas.openxmlformats.org/package/2006/relationships";

}  // namespace

std::string RelationshipPartOf(std::string_view part) {
  const std::size_t slash = part.rfind('/');
  const std::string_view folder = slash == std::string_view::npos ? "" : part.substr(0, slash + 1);
  const std::string_view name = slash == std::string_view::npos ? part : part.substr(slash + 1);
  return std::string(folder) + "_rels/" + std::string(name) + ".rels";
}

std::string ResolveTarget(std::string_view source_part, std::string_view target) {
  std::string joined;
  if (!target.empty() && target[0] == '/') {
    joined = target.substr(1);
  } else {
    const std::size_t slash = source_part.rfind('/');
    if (slash != std::string_view::npos) joined = source_part.substr(0, slash + 1);
    joined.append(target);
  }
  std::vector<std::string> segments;
  std::size_t start = 0;
  while (start <= joined.size()) {
    std::size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    const std::string segment = joined.substr(start, end - start);
    if (segment == "..") {
      if (segments.empty()) return "";
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string path;
  for (const std::string& segment : segments) {
    if (!path.empty()) path.push_back('/');
    path.append(segment);
  }
  return path;
}

std::vector<Relationship> ReadRelationships(ZipArchive& zip, std::string_view source_part,
                                            bool required) {
  const std::string rels_part = RelationshipPartOf(source_part);
  std::vector<Relationship> relationships;
  if (!required && !zip.Has(rels_part)) return relationships;
  XmlStream xml(zip.Open(rels_part), zip.file());
  while (xml.Next()) {
    if (xml.node() != XmlStream::Node::kStart || xml.Depth() != 1 ||
        xml.LocalName() != "Relationship" || xml.Namespace() != kPackageRelationshipsNamespace) {
      continue;
    }
    Relationship relationship;
    std::string type;
    std::string target;
    xml.ForEachAttribute([&](std::string_view ns, std::string_view name, std::string_view value) {
      if (!ns.empty()) return;
      if (name == "Id") relationship.id = value;
      if (name == "Type") type = value;
      if (name == "Target") target = value;
      if (name == "TargetMode") relationship.external = value == "External";
    });
    relationship.kind = type.substr(type.rfind('/') + 1);
    if (!relationship.external) relationship.target = ResolveTarget(source_part, target);
    relationships.push_back(std::move(relationship));
  }
  return relationships;
}

std::string FindMainDocumentPart(ZipArchive& zip) {
  for (const Relationship& relationship : ReadRelationships(zip, "", false)) {
    if (relationship.kind == "officeDocument" && !relationship.external &&
        !relationship.target.empty()) {
      return relationship.target;
    }
  }
  return "";
}

namespace {

// What a sheet of relationship `kind` is, when it is not a worksheet.
const char* NotAWorksheetKind(const std::string& kind) {
  if (kind == "chartsheet") return "a chart";
  if (kind == "dialogsheet") return "a dialog sheet";
  if (kind == "xlMacrosheet" || kind == "xlIntlMacrosheet") return "a macro sheet";
  return "a sheet of an unknown type";
}

}  // namespace

WorkbookParts FindWorkbookParts(ZipArchive& zip, const std::string& workbook_part,
                                const WorkbookListing& listing) {
  if (listing.sheets.empty()) throw ReadError(zip.file(), "the workbook has no sheets");
  const WorkbookListing::Sheet& sheet =
      listing.sheets[listing.active_tab < listing.sheets.size() ? listing.active_tab : 0];
  WorkbookParts parts;
  parts.sheet_name = sheet.name;
  parts.date_system = listing.date1904 ? DateSystem::k1904 : DateSystem::k1900;
  bool found = false;
  for (const Relationship& relationship : ReadRelationships(zip, workbook_part, true)) {
    if (relationship.external) continue;
    if (relationship.id == sheet.relationship_id && !found) {
      if (relationship.kind != "worksheet") {
        throw ReadError(zip.file(), "the active sheet \"" + sheet.name + "\" is " +
                                        NotAWorksheetKind(relationship.kind) + ", not a worksheet");
      }
      parts.sheet_part = relationship.target;
      found = true;
    } else if (relationship.kind == "sharedStrings" && parts.shared_strings_part.empty()) {
      parts.shared_strings_part = relationship.target;
    } else if (relationship.kind == "styles" && parts.styles_part.empty()) {
      parts.styles_part = relationship.target;
    }
  }
  if (!found) {
    throw ReadError(zip.file(), workbook_part + ": the active sheet's relationship \"" +
                                    sheet.relationship_id + "\" is missing");
  }
  return parts;
}

}  // namespace zerova
