#include "support/UserDatabaseFixture.h"

#include <array>

#include "support/CodePlugBuilder.h"

namespace pwtest {

std::uint32_t userDatabaseId(int row) { return 1000000u + std::uint32_t(row) * 37u; }

std::string userDatabaseText(int rows) {
  static constexpr std::array<const char*, 8> kFirst = {"Alex", "Robin", "Sam", "Kim", "Jo", "Chris", "Pat", "Lee"};
  std::string out = "RADIO_ID,CALLSIGN,FIRST_NAME,LAST_NAME,CITY,STATE,COUNTRY,REMARKS\r\n";
  out.reserve(std::size_t(rows) * 72);
  for (int i = 0; i < rows; ++i) {
    const char callsign[] = {'Q', char('A' + i % 26), char('0' + i / 26 % 10), char('A' + i / 260 % 26),
                             char('A' + i / 6760 % 26), char('A' + i / 175760 % 26), 0};
    out += std::to_string(userDatabaseId(i));
    out += ',';
    out += callsign;
    out += ',';
    out += kFirst[std::size_t(i) % kFirst.size()];
    out += ",Surname";
    out += std::to_string(i % 997);
    out += i % 10 == 0 ? ",\"Town " + std::to_string(i % 311) + ", Shire\"" : ",Town " + std::to_string(i % 311);
    out += ",Region " + std::to_string(i % 17);
    out += ",Country " + std::to_string(i % 40 + 1);
    out += ",\r\n";
  }
  return out;
}

std::string writeUserDatabase(const std::string& fileName, int rows) {
  const std::string text = userDatabaseText(rows);
  const std::string path = testTempDir() + "/" + fileName;
  writeFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
  return path;
}

}  // namespace pwtest
