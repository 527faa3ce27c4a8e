// Times the fill of the DTMF, GPS and Buttons tabs (refresh, then a repaint of what
// shows) on a code plug whose every entry names a record: 1000 channels and 1000
// contacts in use, every revert channel, GPS contact, one-touch and number-key entry
// set, all 32 encode strings 30 digits long.

#include <QCoreApplication>
#include <QTabWidget>
#include <QTableView>
#include <cstdio>

#include "UiBench.h"
#include "codeplug/Encodings.h"
#include "settings/ui/ButtonsForm.h"
#include "signalling/ui/DTMFForm.h"
#include "signalling/Dtmf.h"
#include "signalling/ui/GPSForm.h"
#include "support/CodePlugBuilder.h"

namespace {

void settle() { QCoreApplication::processEvents(); }

template <typename Form>
void timeFill(const char* what, pw::CodePlugDocument& doc, QSize size) {
  Form form(doc);
  form.resize(size);
  form.show();
  settle();
  uibench::report(
      what,
      [&] {
        form.refresh(true, 0);
        settle();
        for (QTableView* grid : form.template findChildren<QTableView*>())
          if (grid->isVisible()) grid->viewport()->repaint();
      },
      [] {});
}

void settingsTabTimings() {
  using pw::ListId;
  pwtest::CodePlugBuilder b;
  b.fill(ListId::Channels, 1000, "Channel ").fill(ListId::Contacts, 1000, "Contact ");
  b.fill(ListId::TextMessages, 50, "Message ");
  for (int e = 0; e < pw::kDtmfEncodeCount; ++e)
    pw::packDtmfDigits(b.image().subspan(pw::kDtmfEncodeStrings + 16 * e, 16),
                       "0123456789ABCD*#0123456789ABCD");
  for (int d = 0; d < pw::kDtmfDecodeCount; ++d) b.u16(pw::kDtmfDecodeEntries + 24 * d + 20, 900 + d);
  for (int g = 0; g < pw::kGpsCount; ++g)
    b.u16(pw::kGps + 16 * g, 990 + g).u16(pw::kGps + 16 * g + 4, 980 + g);
  for (int k = 0; k < pw::kOneTouchCount; ++k) b.oneTouch(k, 1 + k % 2, k % 2, 1 + k, 1000 - k);
  for (int k = 0; k < pw::kNumberKeyCount; ++k) b.numberKey(k, 999 - k);
  pw::CodePlugDocument doc;
  if (b.loadInto(doc) != 0) {
    std::printf("settings tabs: the code plug did not load\n");
    return;
  }
  const QSize page(1130, 500);
  timeFill<TDTMFForm>("DTMF: fill three pages (+ repaint)", doc, page);
  timeFill<TGPSForm>("GPS: fill 16 systems (+ repaint)", doc, page);
  timeFill<TButtonsForm>("Buttons: fill controls and grids (+ repaint)", doc, page);
}

const uibench::Registration registration("DTMF, GPS and Buttons tabs", settingsTabTimings);

}  // namespace
