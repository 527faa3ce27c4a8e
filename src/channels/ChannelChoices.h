#pragma once
// The drop-down choices of the channel editor with the value each one stores, the
// privacy code that folds (type, key index) into one choice, and the lists that name
// records of other sections. Texts keep their trailing blanks: the radio's own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "channels/ChannelRecord.h"
#include "codeplug/Choices.h"
#include "codeplug/RecordList.h"

namespace pw {

using ChannelChoice = Choice;
using ChannelChoices = Choices;

// The fixed list of a field: admit criteria, time-out, rekey delay, colour code, GPS
// system, both signalling systems and both tones. Empty for any other field.
const ChannelChoices& fixedChoices(ChannelField field);
// The button rows of a field shown as buttons (mode, bandwidth, squelch, power, both
// reference frequencies, tail revert phase, repeater slot), with the value each stores.
// Empty for any other field.
const ChannelChoices& buttonChoices(ChannelField field);
// "None ", "Basic 1 " .. "Basic 16 ", "Enhanced 1 " .. "Enhanced 8 ", coded by privacy code.
const ChannelChoices& voiceEncryptionChoices();

// The list a reference field names records of (emergency system, scan list, contact,
// Rx group list), or nothing.
std::optional<ListId> referredList(ChannelField field);
// "None" coded 0, then every record of the list in use, by decoded name, coded by its number.
ChannelChoices referenceChoices(const CodePlugDocument& doc, ListId list);

// The choice a merged value selects: -1 when the value is mixed or no choice carries it.
// A tone word 0 selects "None" like 0xFFFF.
int choiceIndex(ChannelField field, const ChannelChoices& choices, std::optional<std::uint32_t> value);

// ---- privacy: code 0 none, 100 + i basic key i+1, 200 + i enhanced key i+1 ----
struct PrivacySelection {
  std::uint32_t type;
  std::uint32_t index;
};
constexpr std::uint32_t privacyCode(PrivacySelection p) { return 100 * p.type + p.index; }
constexpr PrivacySelection privacySelection(std::uint32_t code) { return {code / 100, code % 100}; }
std::uint32_t channelPrivacyCode(const CodePlugDocument& doc, int s);
// False, changing nothing, for a code that no voice encryption choice carries.
bool setChannelPrivacy(CodePlugDocument& doc, int s, std::uint32_t code);
// The code the selection shares. Channels of differing types count as type 0, so they
// share "None " when every key index is 0 and nothing otherwise.
std::optional<std::uint32_t> sharedPrivacyCode(const CodePlugDocument& doc, const std::vector<int>& rows);

}  // namespace pw
