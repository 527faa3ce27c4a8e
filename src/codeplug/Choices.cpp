#include "codeplug/Choices.h"

namespace pw {

Choices recordChoices(const CodePlugDocument& doc, ListId list, std::string_view first,
                      const std::function<bool(int index)>& offered) {
  Choices c;
  if (!first.empty()) c.push_back({std::string(first), 0});
  if (!doc.hasImage()) return c;
  for (int i = 0; i < layoutOf(list).count; ++i)
    if (inUse(doc, list, i) && (!offered || offered(i)))
      c.push_back({recordName(doc, list, i), std::uint32_t(i + 1)});
  return c;
}

int indexOfCode(const Choices& choices, std::uint32_t code) {
  for (std::size_t i = 0; i < choices.size(); ++i)
    if (choices[i].code == code) return int(i);
  return -1;
}

std::optional<std::string> textOfCode(const Choices& choices, std::uint32_t code) {
  const int i = indexOfCode(choices, code);
  if (i < 0) return std::nullopt;
  return choices[i].text;
}

}  // namespace pw
