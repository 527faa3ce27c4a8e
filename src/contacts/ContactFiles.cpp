#include "contacts/ContactFiles.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "codeplug/Encodings.h"
#include "codeplug/FileWriter.h"
#include "codeplug/RecordList.h"
#include "contacts/ContactList.h"

namespace pw {
namespace {

constexpr ListId kList = ListId::Contacts;
constexpr std::size_t kMaxLineLength = 255;  // longer lines are read as several

enum class Format { Sectioned, CommaSeparated };

std::string upperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiUpper(c);
  return out;
}

bool hasDigit(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::optional<Format> formatOf(const std::string& fileName) {
  const std::string ext = upperCase(std::string_view(fileName).substr(fileName.size() - 4));
  if (ext == ".TXT") return Format::Sectioned;
  if (ext == ".CSV") return Format::CommaSeparated;
  return std::nullopt;
}

// The files' numbers are whole numbers with an optional sign.
constexpr NumberSyntax kSigned{.sign = true};

std::optional<std::int64_t> integerIn(std::string_view text, std::int64_t lo, std::int64_t hi) {
  return parseInteger(text, lo, hi, kSigned);
}

std::optional<std::uint32_t> parseCallId(std::string_view text) {
  const auto v = integerIn(text, 0, kMaxCallId);
  if (!v) return std::nullopt;
  return std::uint32_t(*v);
}

// ---- reading lines ----

// Only a regular file is read (a named pipe would block until something writes to it).
std::optional<std::string> readWholeFile(const std::string& path) {
  const int fd = openRegularFile(path);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    content.append(buffer, std::size_t(n));
  }
  ::close(fd);
  if (n < 0) return std::nullopt;
  return content;
}

// ---- sectioned format ----

// "key=value" with a one-character key: the value, or nothing when the line has another key.
std::optional<std::string_view> valueOf(std::string_view line, char key) {
  if (line.size() < 2 || line[0] != key || line[1] != '=') return std::nullopt;
  return line.substr(2);
}

std::optional<std::int64_t> numberIn(std::string_view line, char key, std::int64_t lo, std::int64_t hi) {
  const auto value = valueOf(line, key);
  return value ? integerIn(*value, lo, hi) : std::nullopt;
}

bool isContactHeader(std::string_view line) {
  return line.size() > 9 && upperCase(line.substr(0, 8)) == "[CONTACT" && line.back() == ']' &&
         integerIn(line.substr(8, line.size() - 9), INT64_MIN, INT64_MAX).has_value();
}

bool hasCountLine(const std::vector<ContactFileLine>& lines) {
  if (lines.size() < 2 || upperCase(lines[0].text) != "[CONTACTS]") return false;
  const std::string_view count = lines[1].text;
  if (count.size() < 6 || upperCase(count.substr(0, 6)) != "COUNT=") return false;
  return integerIn(count.substr(6), 1, INT64_MAX).has_value();
}

// Each contact is five lines in a fixed order; a line that does not fit its step is
// dropped and the next line is read as the start of a contact again.
std::vector<ContactEntry> readSectioned(const std::vector<ContactFileLine>& lines) {
  std::vector<ContactEntry> entries;
  if (!hasCountLine(lines)) return entries;
  ContactEntry e{};
  int step = 0;
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string_view line = lines[i].text;
    bool fits = false;
    if (step == 0) {
      fits = isContactHeader(line);
    } else if (step == 1) {
      const auto name = valueOf(line, '0');
      e.name = name ? trimControls(*name) : std::string();
      fits = !e.name.empty();
    } else if (step == 2) {
      const auto type = numberIn(line, '1', kGroupCall, kPcCall);
      fits = type.has_value();
      if (fits) e.callType = int(*type);
    } else if (step == 3) {
      const auto id = numberIn(line, '2', 0, kMaxCallId);
      fits = id.has_value();
      if (fits) e.id = std::uint32_t(*id);
    } else {
      const auto tone = numberIn(line, '3', 0, 1);
      fits = tone.has_value();
      if (fits) {
        e.rxTone = *tone == 1;
        entries.push_back(e);
      }
    }
    step = fits ? (step + 1) % 5 : 0;
  }
  return entries;
}

// ---- comma-separated format ----
// A field that needs them (a comma or a double quote in it) is written in double
// quotes, a quote inside doubled. Fields that did not need quotes read exactly as
// plain text did before quoting existed, so lines from other programs keep their meaning.

struct CsvField {
  std::string raw;                      // trimmed text between the separators, quotes included
  std::optional<std::string> unquoted;  // the content when the field is one whole quoted string
};

bool needsQuotes(std::string_view text) { return text.find_first_of(",\"") != std::string_view::npos; }

std::string csvField(std::string_view text) {
  if (!needsQuotes(text)) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

// A quoted string starting at `open` that runs to a comma or the end of the line:
// its content and where it ends.
std::optional<std::pair<std::string, std::size_t>> quotedAt(std::string_view line, std::size_t open) {
  std::string content;
  std::size_t i = open + 1;
  for (;; ++i) {
    if (i >= line.size()) return std::nullopt;
    if (line[i] != '"') {
      content += line[i];
    } else if (i + 1 < line.size() && line[i + 1] == '"') {
      content += '"';
      ++i;
    } else {
      break;
    }
  }
  std::size_t end = i + 1;
  while (end < line.size() && line[end] == ' ') ++end;
  if (end < line.size() && line[end] != ',') return std::nullopt;
  return std::pair{content, end};
}

// Splits at the commas that are not inside a quoted field.
std::vector<CsvField> splitFields(std::string_view line) {
  std::vector<CsvField> fields;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t first = line.find_first_not_of(' ', pos);
    std::optional<std::pair<std::string, std::size_t>> quoted;
    if (first != std::string_view::npos && line[first] == '"') quoted = quotedAt(line, first);
    const std::size_t end = quoted ? quoted->second : std::min(line.find(',', pos), line.size());
    CsvField f{trimControls(line.substr(pos, end - pos)), std::nullopt};
    if (quoted) f.unquoted = std::move(quoted->first);
    fields.push_back(std::move(f));
    if (end >= line.size()) return fields;
    pos = end + 1;
  }
}

// The text of a field in a plain line.
std::string plainText(const CsvField& f) {
  return f.unquoted && needsQuotes(*f.unquoted) ? trimControls(*f.unquoted) : f.raw;
}

// The text of a field in a quoted line, which must be a quoted string of more than two characters.
std::optional<std::string> quotedText(const CsvField& f) {
  if (f.raw.size() <= 2 || f.raw.front() != '"' || f.raw.back() != '"') return std::nullopt;
  return trimControls(f.unquoted ? *f.unquoted : f.raw.substr(1, f.raw.size() - 2));
}

ContactEntry csvEntry(std::uint32_t id, std::string name) {
  return ContactEntry{id, std::move(name), callTypeForId(id), false};
}

// "ID","Name","...","..."  (the last two fields are not used)
std::optional<ContactEntry> readQuotedLine(std::string_view line) {
  const auto fields = splitFields(line);
  if (fields.size() < 4) return std::nullopt;
  const auto idText = quotedText(fields[0]);
  const auto name = quotedText(fields[1]);
  if (!idText || !name) return std::nullopt;
  const auto id = parseCallId(*idText);
  if (!id) return std::nullopt;
  return csvEntry(*id, name->empty() ? "-" : *name);
}

// ID,Name[,Extra]: a private ID's extra text (the other half of the name) is appended.
std::optional<ContactEntry> readPlainLine(std::string_view line) {
  const auto fields = splitFields(line);
  if (fields.size() < 2) return std::nullopt;
  const std::string idText = plainText(fields[0]);
  std::string name = plainText(fields[1]);
  if (idText.empty() || name.empty()) return std::nullopt;
  const auto id = parseCallId(idText);
  if (!id) return std::nullopt;
  if (fields.size() > 2 && *id >= kFirstPrivateId) {
    const std::string extra = plainText(fields[2]);
    if (!extra.empty() && extra != "-") name += " " + extra;
  }
  return csvEntry(*id, std::move(name));
}

std::vector<ContactEntry> readCommaSeparated(const std::vector<ContactFileLine>& lines) {
  std::vector<ContactEntry> entries;
  for (const auto& line : lines)
    if (auto e = readContactCsvLine(line.text)) entries.push_back(std::move(*e));
  return entries;
}

// ---- storing ----

// Adds the entries after the last contact, skipping call IDs the list already holds.
void appendEntries(CodePlugDocument& doc, const std::vector<ContactEntry>& entries) {
  const int capacity = layoutOf(kList).count;
  int slot = firstFree(doc, kList);
  if (slot < 0) return;
  // The IDs taken, sorted: one array for the list's thousand, not a hash node each.
  std::vector<std::uint32_t> ids;
  ids.reserve(std::size_t(capacity));
  for (int i = 0; i < slot; ++i) ids.push_back(contactCallId(doc, i));
  std::sort(ids.begin(), ids.end());
  for (const ContactEntry& e : entries) {
    if (slot >= capacity) break;
    const auto at = std::lower_bound(ids.begin(), ids.end(), e.id);
    if (at != ids.end() && *at == e.id) continue;
    ids.insert(at, e.id);
    storeContact(doc, slot++, e);
  }
}

// ---- writing ----

std::string sectionedText(const CodePlugDocument& doc) {
  const int capacity = layoutOf(kList).count;
  std::string out = "[CONTACTS]\ncount=" + std::to_string(usedCount(doc, kList)) + "\n";
  for (int i = 0; i < capacity; ++i) {
    if (!inUse(doc, kList, i)) continue;
    out += "[Contact" + std::to_string(i + 1) + "]\n";
    out += "0=" + recordName(doc, kList, i) + "\n";
    out += "1=" + std::to_string(contactCallType(doc, i)) + "\n";
    out += "2=" + std::to_string(contactCallId(doc, i)) + "\n";
    out += "3=" + std::string(contactRxTone(doc, i) ? "1" : "0") + "\n";
  }
  return out;
}

// ID,first,second. A private ID's name is split at its first space, the word with
// a digit in it (a callsign) first; a talk group keeps its name whole.
std::string commaSeparatedText(const CodePlugDocument& doc) {
  const int capacity = layoutOf(kList).count;
  std::string out;
  for (int i = 0; i < capacity; ++i) {
    if (!inUse(doc, kList, i)) continue;
    const std::uint32_t id = contactCallId(doc, i);
    const std::string name = recordName(doc, kList, i);
    std::string first = name, second = "-";
    const std::size_t space = name.find(' ');
    if (id >= kFirstPrivateId && space != std::string::npos) {
      first = trimControls(std::string_view(name).substr(0, space));
      second = trimControls(std::string_view(name).substr(space + 1));
      if (hasDigit(second)) std::swap(first, second);
    }
    out += std::to_string(id) + "," + csvField(first) + "," + csvField(second) + "\n";
  }
  return out;
}

// The checks both directions share: 0, or the failure code (the format error shown).
int checkFileName(const CodePlugDocument& doc, const std::string& name, const char* formatError,
                  std::optional<Format>& format) {
  if (!doc.hasImage()) return kContactFileNoImage;
  if (name.size() < 5) return kContactFileNameTooShort;
  format = formatOf(name);
  if (!format) {
    doc.prompt().error(formatError);
    return kContactFileFormatOrOpen;
  }
  return kContactFileOk;
}

}  // namespace

int importContacts(CodePlugDocument& doc, const std::string& fileName) {
  const std::string name = trimControls(fileName);
  std::optional<Format> format;
  if (const int rc = checkFileName(
          doc, name, "Don't know what format you want them importing from (only .txt or .csv)", format))
    return rc;
  const auto content = readWholeFile(name);
  if (!content) {
    doc.prompt().error("Could not open the file");
    return kContactFileFormatOrOpen;
  }
  const auto lines = contactFileLines(*content);
  appendEntries(doc, *format == Format::Sectioned ? readSectioned(lines) : readCommaSeparated(lines));
  return kContactFileOk;
}

int exportContacts(const CodePlugDocument& doc, const std::string& fileName) {
  const std::string name = trimControls(fileName);
  std::optional<Format> format;
  if (const int rc = checkFileName(
          doc, name, "Don't know what format you want them exporting too (only .txt or .csv)", format))
    return rc;
  switch (
      writeExport(doc, name, *format == Format::Sectioned ? sectionedText(doc) : commaSeparatedText(doc))) {
    case WriteResult::Ok:
      return kContactFileOk;
    case WriteResult::CreateFailed:
      return kContactFileCreate;
    case WriteResult::WriteFailed:
      break;
  }
  return kContactFileWrite;
}

std::vector<ContactFileLine> contactFileLines(std::string_view content) {
  std::vector<ContactFileLine> lines;
  std::size_t pos = 0;
  for (int number = 1; pos < content.size(); ++number) {
    std::size_t end = content.find('\n', pos);
    if (end == std::string_view::npos) end = content.size();
    for (std::size_t at = pos; at < end; at += kMaxLineLength) {
      std::string_view piece = content.substr(at, std::min(kMaxLineLength, end - at));
      const auto cut = std::find_if(piece.begin(), piece.end(), [](unsigned char c) { return c < 32; });
      std::string line = trimControls(piece.substr(0, std::size_t(cut - piece.begin())));
      if (!line.empty()) lines.push_back({number, std::move(line)});
    }
    pos = end + 1;
  }
  return lines;
}

std::optional<ContactEntry> readContactCsvLine(std::string_view line) {
  if (line.empty()) return std::nullopt;
  if (line[0] == '"') return readQuotedLine(line);
  if (std::isdigit(static_cast<unsigned char>(line[0]))) return readPlainLine(line);
  return std::nullopt;
}

void storeContact(CodePlugDocument& doc, int slot, const ContactEntry& e) {
  MutableByteSpan r = recordBytes(doc, kList, slot);
  if (r.empty()) return;
  set(r, kContactCallId, e.id);
  r[3] = static_cast<std::uint8_t>(0xC0 | (e.callType & 7) | (e.rxTone ? 0x20 : 0));
  const auto& l = layoutOf(kList);
  encodeName(r.subspan(l.nameOffset), l.nameUnits, e.name);
}

}  // namespace pw
