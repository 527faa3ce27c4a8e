#pragma once
// A made-up DMR user database of any size, in the layout the public registry publishes
// (header, CRLF, a quoted city with a comma now and then). Every value is invented.

#include <cstdint>
#include <string>

namespace pwtest {

// Row i has RADIO_ID userDatabaseId(i) (a valid ID for up to 426,000 rows), a callsign
// "Q<letter><digit><3 letters>", and one of
// 40 countries "Country 1".."Country 40" (row i: country i % 40 + 1).
std::uint32_t userDatabaseId(int row);
std::string userDatabaseText(int rows);
// Writes the text to a file under the test folder; its path.
std::string writeUserDatabase(const std::string& fileName, int rows);

}  // namespace pwtest
