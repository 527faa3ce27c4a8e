#include "support/RepeaterLists.h"

#include <cstdio>
#include <random>

namespace pwtest {
namespace {

struct Place {
  const char* city;
  const char* state;
  const char* country;
  double lat, lng;
};

const Place kPlaces[] = {
    {"Dortmund", "Nordrhein-Westfalen", "Germany", 51.51, 7.47},
    {"Essen", "Nordrhein-Westfalen", "Germany", 51.46, 7.01},
    {"K\xC3\xB6ln", "Nordrhein-Westfalen", "Germany", 50.94, 6.96},
    {"M\xC3\xBCnchen", "Bayern", "Germany", 48.14, 11.58},
    {"Lyon", "Auvergne-Rh\xC3\xB4ne-Alpes", "France", 45.76, 4.84},
    {"\xC5\x81\xC3\xB3"
     "d\xC5\xBA",
     "\xC5\x81\xC3\xB3"
     "dzkie",
     "Poland", 51.76, 19.46},
    {"Brno", "Jihomoravsk\xC3\xBD", "Czech Republic", 49.19, 16.61},
    {"Denver", "Colorado", "United States", 39.74, -104.99},
    {"\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0",
     "Russia", 55.76, 37.62},
    {"\xE6\x9D\xB1\xE4\xBA\xAC", "\xE6\x9D\xB1\xE4\xBA\xAC", "Japan", 35.68, 139.69},
};
const char* const kNetworks[] = {"BrandMeister", "DMR+", "TGIF Network", "Local", "BM-DL", ""};

}  // namespace

std::string repeaterListJson(int count, unsigned seed) {
  std::mt19937 random(seed);
  const auto pick = [&](int n) { return int(random() % unsigned(n)); };
  std::string out = "{\"rptrs\":[";
  char entry[1024];
  for (int i = 0; i < count; ++i) {
    const Place& p = kPlaces[pick(int(std::size(kPlaces)))];
    const int kind = pick(100);
    // Mostly 70 cm repeaters; some 2 m ones, outside a 70 cm radio's band.
    const bool twoMetres = kind < 8;
    const int khz = twoMetres ? 145600 + 25 * pick(24) : 430000 + 25 * pick(400);
    const char* offset = twoMetres       ? "-0.600"
                         : kind % 3 == 0 ? "+5.000"
                         : kind % 3 == 1 ? "-7.600"
                                         : "-9.400";
    const int cc = pick(16);
    const double lat = p.lat + (pick(2001) - 1000) / 2000.0, lng = p.lng + (pick(2001) - 1000) / 1500.0;
    const char* status = kind < 10 ? "Inactive" : kind < 12 ? "Off Air" : kind < 40 ? "Active" : "";
    std::snprintf(entry, sizeof entry,
                  "%s{\"id\":%d,\"locator\":%d,\"callsign\":\"D%c%dX%c%c\",\"city\":\"%s\",\"state\":\"%s\","
                  "\"country\":\"%s\",\"frequency\":\"%d.%03d00\",\"color_code\":%s%d%s,\"offset\":\"%s\","
                  "\"assigned\":\"Peer\",\"ts_linked\":\"TS1 TS2\",\"trustee\":\"DL%dTR\",\"map_info\":\"\","
                  "\"map\":0,\"ipsc_network\":\"%s\",\"lat\":%s%.5f%s,\"lng\":\"%.5f\"%s%s%s,"
                  "\"details\":\"Linked to the network, ts1 wide area, ts2 regional and local. Site %d.\"}",
                  i ? "," : "", 262000 + i, 310000 + i, 'B' + pick(20), pick(10), 'A' + pick(26),
                  'A' + pick(26), p.city, p.state, p.country, khz / 1000, khz % 1000, kind % 2 ? "\"" : "",
                  cc, kind % 2 ? "\"" : "", offset, pick(10), kNetworks[pick(int(std::size(kNetworks)))],
                  kind % 4 ? "" : "\"", lat, kind % 4 ? "" : "\"", lng, *status ? ",\"status\":\"" : "",
                  status, *status ? "\"" : "", i);
    out += entry;
  }
  return out + "]}";
}

std::string talkgroupListJson() {
  return "{\"1\":\"Local\",\"2\":\"Regional\",\"8\":\"Regional\",\"9\":\"Local\",\"91\":\"World-wide\","
         "\"92\":\"Europe\",\"262\":\"Germany\",\"263\":\"Germany Regional\",\"2621\":\"Berlin/Brandenburg\","
         "\"3100\":\"USA\",\"91000\":\"A very long talkgroup name\"}";
}

}  // namespace pwtest
