#include "formats/csv/delimited_text.h"

#include <algorithm>
#include <map>
#include <vector>

namespace zerova {
namespace {

// Records judged when choosing the delimiter.
constexpr std::size_t kSampleRecords = 1000;
// A sample cut inside its first record is judged by it alone from this length on.
constexpr std::size_t kLongRecord = 4096;

}  // namespace

bool DelimitedText::NextField(std::string* field, bool* record_ends) {
  field->clear();
  if (at_ >= text_.size() && !field_pending_) return false;
  field_pending_ = false;
  std::size_t at = at_;
  const std::size_t size = text_.size();
  if (at < size && text_[at] == '"') {
    ++at;
    for (;;) {
      const std::size_t quote = text_.find('"', at);
      if (quote == std::string_view::npos) {  // open to the end
        field->append(text_.substr(at));
        at = size;
        break;
      }
      field->append(text_.substr(at, quote - at));
      if (quote + 1 < size && text_[quote + 1] == '"') {
        field->push_back('"');
        at = quote + 2;
        continue;
      }
      at = quote + 1;
      break;
    }
  }
  // Unquoted text, or what follows a closing quote, up to the delimiter or line break.
  std::size_t end = at;
  while (end < size && text_[end] != delimiter_ && text_[end] != '\n' && text_[end] != '\r') ++end;
  field->append(text_.substr(at, end - at));
  *record_ends = true;
  if (end < size && text_[end] == delimiter_) {
    *record_ends = false;
    field_pending_ = true;
    ++end;
  } else if (end < size) {
    end += text_[end] == '\r' && end + 1 < size && text_[end + 1] == '\n' ? 2 : 1;
  }
  at_ = end;
  return true;
}

char ChooseDelimiter(std::string_view sample, bool cut) {
  char best = '\0';
  double best_share = 0;
  // Later candidates win ties, so TAB comes last.
  for (char delimiter : {',', ';', '\t'}) {
    DelimitedText text(sample, delimiter);
    std::vector<std::size_t> counts;
    std::string field;
    bool record_ends = false;
    std::size_t fields = 0;  // of the record being read
    while (counts.size() < kSampleRecords && text.NextField(&field, &record_ends)) {
      ++fields;
      if (record_ends) {
        counts.push_back(fields);
        fields = 0;
      }
    }
    // A last record that the sample cuts short is not judged, unless it is the only
    // one and long: a record longer than the sample is judged alone.
    const bool ends_line = sample.ends_with('\n') || sample.ends_with('\r');
    if (cut && !ends_line && text.position() >= sample.size() && !counts.empty()) {
      if (counts.size() > 1) {
        counts.pop_back();
      } else if (sample.size() >= kLongRecord) {
        counts.push_back(counts.front());
      }
    }
    if (counts.size() < 2) continue;  // nothing to compare
    std::map<std::size_t, std::size_t> tally;
    for (std::size_t count : counts) ++tally[count];
    const auto mode =
        std::max_element(tally.begin(), tally.end(), [](const auto& a, const auto& b) {
          return a.second < b.second || (a.second == b.second && a.first < b.first);
        });
    const double share = static_cast<double>(mode->second) / static_cast<double>(counts.size());
    if (mode->first >= 2 && share >= 0.75 && share >= best_share) {
      best = delimiter;
      best_share = share;
    }
  }
  return best;
}

}  // namespace zerova
