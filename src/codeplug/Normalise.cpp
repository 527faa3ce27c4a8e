#include "codeplug/Normalise.h"

#include "codeplug/RecordList.h"

namespace pw {

bool normaliseLists(CodePlugDocument& doc) {
  if (!doc.hasImage()) return false;
  bool changed = false;
  changed |= packList(doc, ListId::TextMessages);
  changed |= packList(doc, ListId::EmergencySystems);
  changed |= packList(doc, ListId::Contacts);
  changed |= packMembers(doc, memberLayoutOf(ListId::RxGroupLists));
  changed |= packList(doc, ListId::RxGroupLists);
  changed |= packMembers(doc, memberLayoutOf(ListId::Zones));
  changed |= packList(doc, ListId::Zones);
  changed |= packMembers(doc, memberLayoutOf(ListId::ScanLists));
  changed |= packList(doc, ListId::ScanLists);
  changed |= packList(doc, ListId::Channels);
  return changed;
}

}  // namespace pw
