#include "exchange/UserDatabase.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <unordered_map>

#include "codeplug/Csv.h"
#include "codeplug/Encodings.h"
#include "codeplug/FileWriter.h"
#include "codeplug/RecordList.h"
#include "codeplug/Text.h"
#include "contacts/ContactList.h"

namespace pw::exchange {
namespace {

constexpr ListId kList = ListId::Contacts;
constexpr std::size_t kNameLength = 16;
constexpr std::size_t kLongestCallsign = 255;
static_assert(kLongestCallsign <= std::numeric_limits<decltype(Database::Row::callsignLength)>::max());
constexpr int kRowsBetweenReports = 4096;
// The header is looked for in this much of a file: a file that is not text has no line end.
constexpr std::size_t kHeaderLimit = 64 * 1024;

// Appends the file's text as a name holds it (the name rule), at most `limit` characters;
// true when the rule changed it.
bool appendStored(std::string& out, std::string_view text, std::size_t limit) {
  const std::size_t at = out.size();
  NameChanges changes;
  appendNameFromOutside(out, trimmed(text), &changes);
  if (out.size() - at > limit) out.resize(at + limit);
  // Trimmed again: a character left out may leave a blank at either end.
  while (out.size() > at && isBlank(out.back())) out.pop_back();
  std::size_t lead = at;
  while (lead < out.size() && isBlank(out[lead])) ++lead;
  out.erase(at, lead - at);
  return changes.replaced || changes.dropped;
}

std::string folded(std::string_view text) { return asciiLower(trimmed(text)); }

std::optional<std::uint32_t> radioId(std::string_view text) {
  const auto id = parseInteger(text, 1, kMaxCallId);
  return id ? std::optional<std::uint32_t>(std::uint32_t(*id)) : std::nullopt;
}

bool startsWithFolded(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (asciiLower(text[i]) != prefix[i]) return false;
  return true;
}

bool isHeader(const csv::Header& header) { return header.has("RADIO_ID") && header.has("CALLSIGN"); }

}  // namespace

class DatabaseReader {
 public:
  static ReadStatus read(csv::Reader& reader, std::uint64_t total, Database& out, const Progress& progress) {
    csv::Row row;
    const bool any = reader.next(row);
    if (reader.binary()) return ReadStatus::NotText;
    const csv::Header header(any ? row.fields : std::vector<std::string>{});
    if (!isHeader(header)) return ReadStatus::NotUserDatabase;
    DatabaseReader r(header);
    for (int n = 1; reader.next(row); ++n) {
      if (reader.binary()) return ReadStatus::NotText;
      r.take(row);
      if (n % kRowsBetweenReports == 0 && progress && !progress(reader.position(), total))
        return ReadStatus::Cancelled;
    }
    if (reader.binary()) return ReadStatus::NotText;
    r.finish();
    out = std::move(r.db_);
    if (progress) progress(total, total);
    return ReadStatus::Ok;
  }

 private:
  explicit DatabaseReader(const csv::Header& header)
      : id_(header.find("RADIO_ID")),
        callsign_(header.find("CALLSIGN")),
        firstName_(header.find("FIRST_NAME")),
        country_(header.find("COUNTRY")) {}

  void take(const csv::Row& row) {
    // A line of blanks and separators holds no record.
    if (!row.openQuote && csv::blankRow(row)) return;
    const int line = row.line;
    const std::optional<std::uint32_t> id = radioId(csv::fieldAt(row, id_));
    const std::string_view callsign = trimmed(csv::fieldAt(row, callsign_));
    if (row.openQuote || !id || callsign.empty()) {
      Skip skip{.line = line, .lastLine = row.lastLine, .reason = Reason::OpenQuote};
      if (!row.openQuote)
        skip = !id ? Skip{.line = line,
                          .reason = Reason::NotHeld,
                          .what = "RADIO_ID",
                          .detail = "a whole number in 1..16777215"}
                   : Skip{.line = line, .reason = Reason::Missing, .what = "CALLSIGN"};
      db_.malformed_.push_back(std::move(skip));
      return;
    }
    std::string& pool = db_.pool_;
    const std::size_t at = pool.size();
    bool changed = appendStored(pool, callsign, kLongestCallsign);
    if (pool.size() == at) {
      // Nothing of it can be stored: the contact would have no name, which leaves its record free.
      db_.malformed_.push_back(Skip{.line = line,
                                    .reason = Reason::NotHeld,
                                    .what = "CALLSIGN",
                                    .detail = "written in characters a name can hold"});
      return;
    }
    for (std::size_t i = at; i < pool.size(); ++i) pool[i] = asciiUpper(pool[i]);
    const std::size_t callsignLength = pool.size() - at;
    changed |= appendStored(pool, csv::fieldAt(row, firstName_), kNameLength);
    db_.rows_.push_back({.text = at,
                         .id = *id,
                         .line = std::uint32_t(line),
                         .country = countryIndex(csv::fieldAt(row, country_)),
                         .callsignLength = std::uint8_t(callsignLength),
                         .firstNameLength = std::uint8_t(pool.size() - at - callsignLength),
                         .nameChanged = changed});
  }

  std::uint32_t countryIndex(std::string_view name) {
    name = trimmed(name);
    key_.assign(name);
    for (char& c : key_) c = asciiLower(c);
    auto [it, added] = countryIndexes_.try_emplace(key_, std::uint32_t(db_.countries_.size()));
    if (added) db_.countries_.push_back({std::string(name), 0});
    ++db_.countries_[it->second].rows;
    return it->second;
  }

  // Countries in name order (case ignored), the rows pointing at them renumbered.
  void finish() {
    auto& countries = db_.countries_;
    std::vector<std::uint32_t> order(countries.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::vector<std::string> keys;
    keys.reserve(countries.size());
    for (const Country& c : countries) keys.push_back(folded(c.name));
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return keys[a] < keys[b]; });
    std::vector<std::uint32_t> newIndex(countries.size());
    std::vector<Country> sorted;
    sorted.reserve(countries.size());
    for (std::uint32_t k = 0; k < order.size(); ++k) {
      newIndex[order[k]] = k;
      sorted.push_back(std::move(countries[order[k]]));
    }
    countries = std::move(sorted);
    for (Database::Row& row : db_.rows_) row.country = newIndex[row.country];
    db_.pool_.shrink_to_fit();
    db_.rows_.shrink_to_fit();
  }

  Database db_;
  std::optional<std::size_t> id_, callsign_, firstName_, country_;
  std::unordered_map<std::string, std::uint32_t> countryIndexes_;
  std::string key_;
};

std::optional<std::size_t> Database::country(std::string_view name) const {
  const std::string wanted = folded(name);
  for (std::size_t c = 0; c < countries_.size(); ++c)
    if (folded(countries_[c].name) == wanted) return c;
  return std::nullopt;
}

std::string_view Database::callsign(const Row& row) const {
  return std::string_view(pool_).substr(row.text, row.callsignLength);
}

std::string Database::contactName(const Row& row) const {
  std::string name(callsign(row));
  name += ' ';
  name.append(pool_, row.text + row.callsignLength, row.firstNameLength);
  name = trimControls(name);
  if (name.size() > kNameLength) name.resize(kNameLength);
  return trimControls(name);
}

const char* readMessage(ReadStatus status) {
  switch (status) {
    case ReadStatus::Ok:
      return "";
    case ReadStatus::CannotOpen:
      return "Could not open the file";
    case ReadStatus::NotText:
      return "The file is not a text file";
    case ReadStatus::NotUserDatabase:
      return "The file is not a user database: its first line names no RADIO_ID and CALLSIGN columns";
    case ReadStatus::Cancelled:
      return "Reading was cancelled";
  }
  return "";
}

bool isUserDatabaseFile(const std::string& path) {
  const int fd = openRegularFile(path);
  if (fd < 0) return false;
  bool failed = false;
  csv::Reader reader(csv::fileSource(fd, failed, kHeaderLimit));
  csv::Row row;
  const bool header = reader.next(row) && !reader.binary() && !failed && isHeader(csv::Header(row.fields));
  ::close(fd);
  return header;
}

ReadStatus readDatabase(const std::string& path, Database& out, const Progress& progress) {
  const int fd = openRegularFile(path);
  if (fd < 0) return ReadStatus::CannotOpen;
  struct stat st {};
  const std::uint64_t size = ::fstat(fd, &st) == 0 ? std::uint64_t(st.st_size) : 0;
  bool failed = false;
  csv::Reader reader(csv::fileSource(fd, failed));
  Database db;
  ReadStatus status = DatabaseReader::read(reader, size, db, progress);
  ::close(fd);
  if (failed) status = ReadStatus::CannotOpen;
  if (status == ReadStatus::Ok) out = std::move(db);
  return status;
}

ReadStatus readDatabaseText(std::string_view text, Database& out) {
  csv::Reader reader(text);
  return DatabaseReader::read(reader, text.size(), out, {});
}

std::vector<std::string> splitList(std::string_view text) {
  std::vector<std::string> items;
  csv::Reader reader(text);
  csv::Row row;
  while (reader.next(row))
    for (const std::string& field : row.fields)
      if (!trimmed(field).empty()) items.emplace_back(trimmed(field));
  return items;
}

DatabasePlan makePlan(const CodePlugDocument& doc, const Database& db, const Filter& filter) {
  DatabasePlan plan;
  Report& report = plan.report;
  report.record = "contact";
  report.capacity = layoutOf(kList).count;
  if (!doc.hasImage()) return plan;
  // The call IDs in the list and those planned, as bits up to the largest ID in play: a
  // small file's plan need not clear two megabytes for every ID there could be.
  std::uint32_t largest = 0;
  for (int i = 0; i < report.capacity; ++i)
    if (inUse(doc, kList, i)) largest = std::max(largest, contactCallId(doc, i));
  for (const Database::Row& row : db.rows()) largest = std::max(largest, row.id);
  std::vector<bool> taken(std::size_t(largest) + 1, false);
  for (int i = 0; i < report.capacity; ++i)
    if (inUse(doc, kList, i)) taken[contactCallId(doc, i)] = true;
  const std::size_t room = std::size_t(report.capacity - endOfUse(doc, kList));

  std::vector<std::string> idPrefixes, callsignPrefixes;
  for (const std::string& p : filter.idPrefixes) idPrefixes.push_back(trimControls(p));
  for (const std::string& p : filter.callsignPrefixes) callsignPrefixes.push_back(folded(nameFromOutside(p)));
  std::vector<bool> country(db.countries().size(), filter.countries.empty());
  for (const std::string& wanted : filter.countries)
    if (const auto c = db.country(wanted)) country[*c] = true;

  const auto& rows = db.rows();
  plan.rows.reserve(std::min(room, rows.size()));
  for (std::uint32_t i = 0; i < rows.size(); ++i) {
    const Database::Row& row = rows[i];
    if (!country[row.country]) continue;
    if (!idPrefixes.empty()) {
      char digits[16];
      const auto end = std::to_chars(digits, digits + sizeof digits, row.id).ptr;
      const std::string_view id(digits, std::size_t(end - digits));
      if (std::none_of(idPrefixes.begin(), idPrefixes.end(), [&](const std::string& p) { return id.starts_with(p); }))
        continue;
    }
    if (!callsignPrefixes.empty() &&
        std::none_of(callsignPrefixes.begin(), callsignPrefixes.end(),
                     [&](const std::string& p) { return startsWithFolded(db.callsign(row), p); }))
      continue;
    if (taken[row.id]) {
      ++report.present;
      continue;
    }
    taken[row.id] = true;
    if (plan.rows.size() < room) {
      plan.rows.push_back(i);
      report.namesChanged += row.nameChanged;
    } else {
      ++report.noRoom;
    }
  }
  return plan;
}

Report applyPlan(CodePlugDocument& doc, const Database& db, const DatabasePlan& plan) {
  Report report = plan.report;
  report.skipped = db.malformed();
  for (int slot = endOfUse(doc, kList); const std::uint32_t index : plan.rows) {
    if (slot >= report.capacity || index >= db.rows().size()) break;
    const Database::Row& row = db.rows()[index];
    initEntry(doc, kList, slot, db.contactName(row));
    MutableByteSpan record = recordBytes(doc, kList, slot);
    set(record, kContactCallId, row.id);
    set(record, kContactCallType, kPrivateCall);
    report.added.push_back(slot++);
  }
  return report;
}

}  // namespace pw::exchange
