#include "wizard/Area.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "codeplug/Text.h"
#include "wizard/WizardPlan.h"

namespace pw::wizard {
namespace {

constexpr double kEarthRadiusKm = 6371;

std::optional<Position> locator(std::string_view text) {
  if (text.size() != 4 && text.size() != 6) return std::nullopt;
  const auto letter = [&](std::size_t i, char last) {
    const char c = asciiUpper(text[i]);
    return c >= 'A' && c <= last ? c - 'A' : -1;
  };
  const auto digit = [&](std::size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1; };
  const int field[] = {letter(0, 'R'), letter(1, 'R')}, square[] = {digit(2), digit(3)};
  if (field[0] < 0 || field[1] < 0 || square[0] < 0 || square[1] < 0) return std::nullopt;
  // A field is 20 x 10 degrees, a square 2 x 1, a subsquare 5 x 2.5 minutes.
  double lng = field[0] * 20.0 + square[0] * 2.0 - 180, lat = field[1] * 10.0 + square[1] * 1.0 - 90;
  if (text.size() == 4) return Position{lat + 0.5, lng + 1.0};
  const int sub[] = {letter(4, 'X'), letter(5, 'X')};
  if (sub[0] < 0 || sub[1] < 0) return std::nullopt;
  return Position{lat + sub[1] / 24.0 + 1 / 48.0, lng + sub[0] / 12.0 + 1 / 24.0};
}

std::string kilometres(double km) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f km", km);
  return text;
}

bool listed(const std::unordered_set<std::string>& wanted, const std::string& value) {
  return wanted.empty() || wanted.contains(areaKey(value));
}

}  // namespace

std::optional<Position> parseNear(std::string_view text) {
  text = trimmed(text);
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return locator(text);
  const auto lat = exchange::parseDegrees(text.substr(0, comma), 90);
  const auto lng = exchange::parseDegrees(text.substr(comma + 1), 180);
  if (!lat || !lng) return std::nullopt;
  return Position{*lat, *lng};
}

double distanceKm(Position a, Position b) {
  constexpr double rad = std::numbers::pi / 180;
  const double dLat = (b.lat - a.lat) * rad, dLng = (b.lng - a.lng) * rad;
  const double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(a.lat * rad) * std::cos(b.lat * rad) * std::sin(dLng / 2) * std::sin(dLng / 2);
  return 2 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

std::string areaKey(std::string_view text) { return asciiLower(trimmed(text)); }

Area::Area(const WizardPlan& plan)
    : near_(plan.near.empty() ? std::nullopt : parseNear(plan.near)),
      nearText_(plan.near),
      radiusKm_(plan.radiusKm),
      includeInactive_(plan.includeInactive) {
  for (const auto& [from, into] :
       {std::pair{&plan.countries, &countries_}, {&plan.states, &states_}, {&plan.cities, &cities_}})
    for (const std::string& value : *from) into->insert(areaKey(value));
}

std::optional<exchange::Skip> Area::reject(const exchange::RepeaterRow& row, double* distance) const {
  using exchange::Reason;
  exchange::Skip skip{.line = row.line, .entry = row.callsign};
  if (row.inactive() && !includeInactive_) {
    skip.reason = Reason::Inactive;
    skip.value = row.status;
    return skip;
  }
  skip.reason = Reason::OutsideArea;
  for (const auto& [wanted, value, what] : {std::tuple{&countries_, &row.country, "country"},
                                            {&states_, &row.state, "state"},
                                            {&cities_, &row.city, "city"}})
    if (!listed(*wanted, *value)) {
      skip.detail = std::string(what) + " " + exchange::quoted(*value);
      return skip;
    }
  if (!near_) return std::nullopt;
  if (!row.hasPosition) {
    skip.reason = Reason::NoPosition;
    skip.detail = nearText_;
    return skip;
  }
  const double km = distanceKm(*near_, {row.lat, row.lng});
  if (distance) *distance = km;
  if (km > radiusKm_) {
    skip.detail = kilometres(km) + " from " + nearText_ + ", more than " + kilometres(radiusKm_);
    return skip;
  }
  return std::nullopt;
}

}  // namespace pw::wizard
