#include "settings/MenuSettings.h"

namespace pw {
namespace {

ByteSpan block(const CodePlugDocument& doc) { return doc.bytes(kMenuSettings, kMenuSettingsSize); }
MutableByteSpan block(CodePlugDocument& doc) { return doc.bytes(kMenuSettings, kMenuSettingsSize); }

}  // namespace

std::uint32_t menuField(const CodePlugDocument& doc, MenuField field) {
  return get(block(doc), bitsOf(field));
}

bool setMenuField(CodePlugDocument& doc, MenuField field, std::uint32_t value) {
  const MutableByteSpan bytes = block(doc);
  if (bytes.empty() || value > fieldMask(bitsOf(field))) return false;
  set(bytes, bitsOf(field), value);
  return true;
}

bool menuEntryOffered(const CodePlugDocument& doc, MenuField entry) {
  return doc.hasImage() && (menuField(doc, entry) != 0) != storedInverted(entry);
}

bool setMenuEntryOffered(CodePlugDocument& doc, MenuField entry, bool offered) {
  return setMenuField(doc, entry, offered != storedInverted(entry) ? 1 : 0);
}

const Choices& menuHangTimeChoices() {
  static const Choices choices = [] {
    Choices c{{"Hang ", 0}};
    return appendRange(c, 1, 30, [](int n) { return std::to_string(n) + " secs"; });
  }();
  return choices;
}

}  // namespace pw
