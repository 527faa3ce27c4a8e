#include "digital/TextMessages.h"

#include "codeplug/Encodings.h"
#include "codeplug/RecordList.h"

namespace pw {
namespace {
constexpr ListId kList = ListId::TextMessages;
}

std::string messageText(const CodePlugDocument& doc, int index) {
  const ByteSpan r = recordBytes(doc, kList, index);
  if (r.empty()) return {};
  return decodeName(r, kTextMessageUnits);
}

std::string storedMessageText(const CodePlugDocument& doc, int index) {
  return nameBytes(recordBytes(doc, kList, index), kTextMessageUnits);
}

std::vector<int> shownMessages(const CodePlugDocument& doc) {
  std::vector<int> rows;
  if (!doc.hasImage()) return rows;
  for (int i = 0; i < kTextMessageCount; ++i)
    if (!messageText(doc, i).empty()) rows.push_back(i);
  return rows;
}

int addMessage(CodePlugDocument& doc, std::string_view text) {
  if (!doc.hasImage()) return -1;
  if (firstFree(doc, kList) < 0) return -2;
  return addRecord(doc, kList, text);
}

bool setMessageText(CodePlugDocument& doc, int index, std::string_view text) {
  if (!doc.hasImage() || index < 0 || index >= kTextMessageCount) return false;
  const std::string trimmed = trimControls(text);
  return renameRecord(doc, kList, index, trimmed.empty() ? "Message " + std::to_string(index + 1) : trimmed);
}

int deleteMessage(CodePlugDocument& doc, int n) { return deleteRecord(doc, kList, n); }

}  // namespace pw
