// Times the fill (refresh with rebuild, repaint) of the two fixed-size digital tabs:
// the privacy keys with every key set, and all 32 emergency systems whose revert
// channels name channels of a full channel list.

#include <QCoreApplication>
#include <QTableView>

#include "UiBench.h"
#include "codeplug/RecordList.h"
#include "digital/ui/EmergencySystemForm.h"
#include "digital/EmergencySystems.h"
#include "digital/PrivacyKeys.h"
#include "digital/ui/VoiceEncryptionForm.h"
#include "support/CodePlugBuilder.h"
#include "widgets/ListEditor.h"

namespace {

template <class Form>
void timeFill(const char* what, Form& form, const std::vector<QTableView*>& views) {
  form.resize(1138, 520);
  form.show();
  QCoreApplication::processEvents();
  uibench::report(
      what,
      [&] {
        form.refresh(true, 0);
        QCoreApplication::processEvents();
        for (QTableView* v : views) v->viewport()->repaint();
      },
      [] {});
}

void digitalTabTimings() {
  pwtest::CodePlugBuilder builder;
  builder.fill(pw::ListId::Channels, pw::kChannelCount, "Ch ")
      .fill(pw::ListId::EmergencySystems, 32, "Alarm ");
  pw::CodePlugDocument doc;
  if (builder.loadInto(doc) != 0) return;
  for (int s = 0; s < pw::kEmergencySystemCount; ++s)
    pw::setEmergencySystemField(doc, s, pw::EmergencyField::RevertChannel, std::uint32_t(1 + 31 * s));
  for (int k = 0; k < pw::kBasicKeyCount; ++k) pw::setBasicKey(doc, k, "a5c3");
  for (int k = 0; k < pw::kEnhancedKeyCount; ++k)
    pw::setEnhancedKey(doc, k, "0123456789abcdef0123456789abcdef");

  TVoiceEncryptionForm keys(doc);
  timeFill("privacy keys: fill 16 + 8 keys (+ repaint)", keys,
           {keys.listEditor(pw::KeyKind::Basic)->view(), keys.listEditor(pw::KeyKind::Enhanced)->view()});
  keys.hide();
  TEmergencySystemForm systems(doc);
  timeFill("emergency systems: fill 32 systems (+ repaint)", systems, {systems.listEditor()->view()});
}

const uibench::Registration registration("Digital Voice Encryption and Emergency System tabs",
                                         digitalTabTimings);

}  // namespace
