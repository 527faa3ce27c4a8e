// Times the Digital Contacts tab with 1000 contacts: a fill (rebuild, first row
// selected, repaint) and a search that matches every row (selection, scroll, caption).

#include <QCoreApplication>
#include <QLabel>
#include <QTableView>
#include <cstdio>

#include "UiBench.h"
#include "widgets/ListEditor.h"
#include "widgets/SearchEdit.h"
#include "codeplug/Layout.h"
#include "contacts/DigitalContactsForm.h"
#include "support/CodePlugBuilder.h"

namespace {

void contactsTabTimings() {
  pw::CodePlugDocument doc;
  pwtest::CodePlugBuilder builder;
  builder.fill(pw::ListId::Contacts, pw::kContactCount, "Contact ");
  if (builder.loadInto(doc) != 0) return;

  TDigitalContactsForm form(doc);
  form.resize(800, 585);
  form.show();
  QCoreApplication::processEvents();
  QTableView* view = form.listEditor()->view();
  auto* search = form.findChild<SearchEdit*>(QStringLiteral("SearchEdit"));

  uibench::report(
      "contacts: fill 1000 rows (+ repaint)",
      [&] {
        form.refresh(true, 0);
        QCoreApplication::processEvents();
        view->viewport()->repaint();
      },
      [] {});
  uibench::report(
      "contacts: search matching all 1000 rows",
      [&] {
        emit search->searchRequested(QStringLiteral("contact"), false);
        QCoreApplication::processEvents();
        view->viewport()->repaint();
      },
      [&] {
        view->clearSelection();
        QCoreApplication::processEvents();
      });
  std::printf("caption: \"%s\"\n", form.listEditor()->countLabel()->text().toLatin1().constData());
}

const uibench::Registration registration("Digital Contacts tab", contactsTabTimings);

}  // namespace
