// Times the Digital Contacts tab with 1000 contacts: a fill (rebuild, first row
// selected, repaint), a search that matches every row (selection, scroll, caption) and a
// sort from the context menu with every rx group list full of contacts.

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QLabel>
#include <QTableView>
#include <cstdio>

#include "UiBench.h"
#include "widgets/ListEditor.h"
#include "widgets/SearchEdit.h"
#include "codeplug/Layout.h"
#include "codeplug/RecordList.h"
#include "contacts/ui/DigitalContactsForm.h"
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
  // A sort from the context menu with every holder of a contact number full.
  for (int g = 0; g < pw::kRxGroupListCount; ++g) {
    pw::initEntry(doc, pw::ListId::RxGroupLists, g, "Group");
    for (int m = 0; m < pw::kRxGroupMemberCount; ++m)
      pw::setU16le(doc.image(), pw::kRxGroupLists + std::size_t(g) * pw::kRxGroupListSize + 32 + 2 * std::size_t(m),
                   std::uint16_t(1 + (g * 32 + m) % pw::kContactCount));
  }
  const std::vector<std::uint8_t> loaded = doc.workingImage;
  QAction* sortByName = nullptr;
  for (QAction* a : form.listEditor()->contextMenu()->actions())
    if (a->text() == QStringLiteral("Sort by Name")) sortByName = a;
  uibench::report(
      "contacts: sort 1000 by name from the menu (+ repaint)",
      [&] {
        sortByName->trigger();
        QCoreApplication::processEvents();
        view->viewport()->repaint();
      },
      [&] {
        doc.workingImage = loaded;
        form.refresh(true, 0);
        QCoreApplication::processEvents();
      });
  std::printf("caption: \"%s\"\n", form.listEditor()->countLabel()->text().toLatin1().constData());
}

const uibench::Registration registration("Digital Contacts tab", contactsTabTimings);

}  // namespace
