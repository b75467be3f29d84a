#include "formats/containers/opc_package.h"

#include "formats/xml/xml_stream.h"
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

// What a sheet whose relationship is of `kind` holds.
SheetKind SheetKindOf(const std::string& kind) {
  if (kind == "worksheet") return SheetKind::kWorksheet;
  if (kind == "chartsheet") return SheetKind::kChart;
  if (kind == "dialogsheet") return SheetKind::kDialog;
  if (kind == "xlMacrosheet" || kind == "xlIntlMacrosheet") return SheetKind::kMacro;
  return SheetKind::kOther;
}

// The parts of a workbook without its relationship part, where writers put them
// beside the workbook part ("xl/workbook.xml"), with its extension: the Nth sheet
// listed at worksheets/sheetN.xml, sharedStrings.xml and styles.xml, these two
// when the zip holds them.
void FindUsualParts(ZipArchive& zip, const std::string& workbook_part, WorkbookParts& parts) {
  const std::size_t slash = workbook_part.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : workbook_part.substr(0, slash + 1);
  const std::size_t dot = workbook_part.rfind('.');
  const std::string extension =
      dot == std::string::npos || (slash != std::string::npos && dot < slash)
          ? ""
          : workbook_part.substr(dot);
  for (std::size_t i = 0; i < parts.sheet_parts.size(); ++i) {
    parts.sheet_parts[i] = folder + "worksheets/sheet" + std::to_string(i + 1) + extension;
  }
  if (zip.Has(folder + "sharedStrings" + extension)) {
    parts.shared_strings_part = folder + "sharedStrings" + extension;
  }
  if (zip.Has(folder + "styles" + extension)) parts.styles_part = folder + "styles" + extension;
}

}  // namespace

const std::string& WorkbookParts::SheetPart(std::size_t index, const std::string& file) const {
  if (sheet_parts[index].empty()) {
    throw Damaged(file, "a part of it is missing",
                  "sheet \"" + sheets[index].name + "\" has no part: its relationship \"" +
                      sheet_relationships[index] + "\" is missing");
  }
  return sheet_parts[index];
}

WorkbookParts FindWorkbookParts(ZipArchive& zip, const std::string& workbook_part,
                                const WorkbookListing& listing) {
  if (listing.sheets.empty()) {
    throw Damaged(zip.file(), "the workbook holds no sheets", "the workbook part lists none");
  }
  WorkbookParts parts;
  parts.active = listing.active_tab < listing.sheets.size() ? listing.active_tab : 0;
  parts.date_system = listing.date1904 ? DateSystem::k1904 : DateSystem::k1900;
  parts.sheets.resize(listing.sheets.size());
  parts.sheet_parts.resize(listing.sheets.size());
  parts.sheet_relationships.resize(listing.sheets.size());
  for (std::size_t i = 0; i < listing.sheets.size(); ++i) {
    parts.sheets[i].name = listing.sheets[i].name;
    parts.sheets[i].visibility = listing.sheets[i].visibility;
    parts.sheet_relationships[i] = listing.sheets[i].relationship_id;
    parts.sheets[i].kind = SheetKind::kWorksheet;  // until its relationship says otherwise
  }
  if (!zip.Has(RelationshipPartOf(workbook_part))) {
    FindUsualParts(zip, workbook_part, parts);
    return parts;
  }
  for (const Relationship& relationship : ReadRelationships(zip, workbook_part, true)) {
    if (relationship.external) continue;
    if (relationship.kind == "sharedStrings" && parts.shared_strings_part.empty()) {
      parts.shared_strings_part = relationship.target;
    } else if (relationship.kind == "styles" && parts.styles_part.empty()) {
      parts.styles_part = relationship.target;
    }
    for (std::size_t i = 0; i < listing.sheets.size(); ++i) {
      if (listing.sheets[i].relationship_id != relationship.id || !parts.sheet_parts[i].empty()) {
        continue;
      }
      parts.sheets[i].kind = SheetKindOf(relationship.kind);
      parts.sheet_parts[i] = relationship.target;
    }
  }
  return parts;
}

}  // namespace zerova
