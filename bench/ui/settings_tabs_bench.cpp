// Times the refill of the Basic, General and Menus tabs from the image, as selecting
// the tab does it (every control re-read, then a repaint).

#include <QCoreApplication>
#include <cstdio>

#include "UiBench.h"
#include "settings/ui/BasicForm.h"
#include "settings/ui/GeneralForm.h"
#include "settings/ui/MenusForm.h"
#include "support/CodePlugBuilder.h"

namespace {

template <class Form>
void timeRefill(pw::CodePlugDocument& doc, const char* what) {
  Form form(doc);
  form.resize(1138, 520);
  form.show();
  form.refresh(true, 0);
  form.repaint();  // the first paint loads fonts and styles: not part of a refill
  QCoreApplication::processEvents();
  uibench::report(
      what,
      [&] {
        form.refresh(false, 0);
        form.repaint();
      },
      [] {});
}

void settingsTabTimings() {
  pw::CodePlugDocument doc;
  if (pwtest::CodePlugBuilder().loadInto(doc) != 0) {
    std::printf("settings tabs: the code plug did not load\n");
    return;
  }
  timeRefill<TBasicForm>(doc, "basic: refill (+ repaint)");
  timeRefill<TGeneralForm>(doc, "general: refill (+ repaint)");
  timeRefill<TMenusForm>(doc, "menus: refill (+ repaint)");
}

const uibench::Registration registration("Basic, General and Menus tabs", settingsTabTimings);

}  // namespace
