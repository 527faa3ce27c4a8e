#pragma once
// The area the wizard takes repeaters from: countries, states and cities (without case; an
// empty list means any), or a place and a radius, and whether inactive entries count.

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "exchange/Plan.h"
#include "exchange/Repeaters.h"

namespace pw::wizard {

struct WizardPlan;

struct Position {
  double lat = 0, lng = 0;  // degrees
};
// A Maidenhead locator of 4 or 6 characters (the centre of its square, "JO31", "JO31ne") or
// "lat,lng" in degrees; nothing for any other text.
std::optional<Position> parseNear(std::string_view text);
// Great-circle distance on a sphere of the Earth's mean radius (6371 km).
double distanceKm(Position a, Position b);

// How the lists compare texts: ASCII letters without case, blanks around trimmed.
std::string areaKey(std::string_view text);

class Area {
 public:
  explicit Area(const WizardPlan& plan);
  // Whether the entry counts: nothing when it does, else why not (its skip). `distanceKm`
  // takes the distance when a place is given.
  std::optional<exchange::Skip> reject(const exchange::RepeaterRow& row, double* distance = nullptr) const;
  bool takes(const exchange::RepeaterRow& row) const { return !reject(row).has_value(); }
  bool measures() const { return near_.has_value(); }

 private:
  std::unordered_set<std::string> countries_, states_, cities_;
  std::optional<Position> near_;
  std::string nearText_;
  double radiusKm_ = 0;
  bool includeInactive_ = false;
};

}  // namespace pw::wizard
