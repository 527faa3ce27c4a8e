#pragma once
// The public DMR user database as a source of contacts: a comma-separated file of every
// registered radio ID (RADIO_ID, CALLSIGN, FIRST_NAME, ..., COUNTRY, found by name), some
// hundreds of thousands of rows of which the radio holds a thousand. Reading streams the
// file and keeps only what a contact needs of each row in a compact table, so that filters
// can change and their outcome show at once. A plan (Plan.h) says what an import with given
// filters adds and skips; applying it appends the contacts.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "exchange/Plan.h"

namespace pw::exchange {

struct Country {
  std::string name;  // as the file first spells it (UTF-8), blanks trimmed; empty: no country
  int rows = 0;      // well-formed rows with it
};

class Database {
 public:
  struct Row {
    std::uint64_t text;  // where the row's callsign, then its first name, start in the pool
    std::uint32_t id;
    std::uint32_t line;
    std::uint32_t country;  // index into countries()
    std::uint8_t callsignLength;
    std::uint8_t firstNameLength;
    bool nameChanged;  // the name rule wrote the callsign or first name otherwise than the file
  };

  const std::vector<Row>& rows() const { return rows_; }
  // Every COUNTRY value of the well-formed rows, by name (case ignored), with its row count.
  const std::vector<Country>& countries() const { return countries_; }
  // The index into countries() of a name (case and blanks around it ignored), or nothing.
  std::optional<std::size_t> country(std::string_view name) const;
  // Rows that can never become a contact, with their line and reason, in file order.
  const std::vector<Skip>& malformed() const { return malformed_; }
  // The callsign as a name holds it (the name rule), in capitals.
  std::string_view callsign(const Row& row) const;
  // The contact's name: callsign, a blank and the first name, trimmed and cut to 16
  // characters; the callsign alone when nothing of the first name is left.
  std::string contactName(const Row& row) const;

 private:
  friend class DatabaseReader;
  std::vector<Row> rows_;
  std::vector<Country> countries_;
  std::vector<Skip> malformed_;
  std::string pool_;
};

enum class ReadStatus { Ok, CannotOpen, NotText, NotUserDatabase, Cancelled };
// What went wrong, as a sentence (empty for Ok).
const char* readMessage(ReadStatus status);

// Whether the file starts with the database's header (a RADIO_ID and a CALLSIGN column).
bool isUserDatabaseFile(const std::string& path);

// Told the bytes read so far and the file's size, now and then; false stops the read.
using Progress = std::function<bool(std::uint64_t done, std::uint64_t total)>;
// Reads a whole file; `out` is replaced only when the read succeeds.
ReadStatus readDatabase(const std::string& path, Database& out, const Progress& progress = {});
ReadStatus readDatabaseText(std::string_view text, Database& out);

// Rows match when they match every kind of filter given: an ID whose decimal digits start
// with one of the prefixes, one of the countries (case ignored), a callsign starting with
// one of the prefixes (case ignored). An empty kind lets every row through.
struct Filter {
  std::vector<std::string> idPrefixes{};
  std::vector<std::string> countries{};
  std::vector<std::string> callsignPrefixes{};
};
// The items of a comma-separated list as typed ("262, 263"), blanks trimmed, empty ones
// dropped; an item in double quotes may hold commas ("Korea, Republic of").
std::vector<std::string> splitList(std::string_view text);

// The rows to add are indexes into Database::rows, in file order. The report counts the rows
// the filters let through whose ID is a contact already or came earlier (`present`), those
// that did not fit (`noRoom`) and, of those to add, the names the name rule wrote otherwise
// than the file (`namesChanged`); the malformed rows are the database's.
using DatabasePlan = Plan<std::uint32_t>;
DatabasePlan makePlan(const CodePlugDocument& doc, const Database& db, const Filter& filter);
// The well-formed rows the filters let through.
inline int matching(const DatabasePlan& plan) {
  return int(plan.rows.size()) + plan.report.present + plan.report.noRoom;
}
// Appends the plan's contacts (Private call, receive tone off) after the last contact in use.
// The plan must have been made on the document as it is. Its report, with the malformed rows
// skipped and the contacts added.
Report applyPlan(CodePlugDocument& doc, const Database& db, const DatabasePlan& plan);

}  // namespace pw::exchange
