// Times the Channels tab with all 1000 channels in use and every list the tab names
// (contacts, group lists, scan lists, emergency systems) full: select all and toggle
// one field on every channel; a refresh with rebuild (also with a changed contact
// list to offer); a search matching every row; a move of the whole list (clamped to
// nothing) and of 500 rows by ten; a sort of the whole list from the context menu; with
// 999 channels in use, a copy of 500 rows and an insert at row 1, and a paste of those 500
// at row 1 of a list of 500 (each with the undo step's settle and a repaint of the list).

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QCoreApplication>
#include <QTableView>
#include <cstdio>
#include <string>

#include "UiBench.h"
#include "widgets/ListEditor.h"
#include "channels/ChannelRecord.h"
#include "channels/ui/ChannelsForm.h"
#include "codeplug/RecordList.h"
#include "support/CodePlugBuilder.h"

namespace {

void settle() { QCoreApplication::processEvents(); }

void runChannelTimings() {
  using pw::ListId;
  pwtest::CodePlugBuilder builder;
  builder.fillEveryList();
  // Every zone full of channels: each move renumbers them all.
  std::vector<int> members;
  for (int m = 0; m < 16; ++m) members.push_back(1 + 60 * m);
  for (int z = 0; z < 250; ++z) builder.members(ListId::Zones, z, members);

  pw::CodePlugDocument doc;
  if (builder.loadInto(doc) != 0) {
    std::printf("channels: the code plug did not load\n");
    return;
  }
  const std::vector<std::uint8_t> loaded = doc.workingImage;

  TChannelsForm form(doc);
  form.resize(1138, 520);
  form.show();
  form.refresh(true, 0);
  settle();
  ListEditor* list = form.listEditor();
  auto* vox = form.findChild<QAbstractButton*>(QStringLiteral("VOXSpeedButton"));
  std::vector<int> all(1000), last500(500);
  for (int i = 0; i < 1000; ++i) all[i] = i;
  for (int i = 0; i < 500; ++i) last500[i] = 500 + i;

  auto selectNone = [&] {
    list->selectRows({});
    settle();
  };
  uibench::report(
      "select all + toggle VOX on 1000",
      [&] {
        list->view()->selectAll();
        settle();  // the deferred refresh merges 1000 channels into the controls
        vox->click();
      },
      selectNone);
  uibench::report(
      "refresh with rebuild",
      [&] {
        form.refresh(true, 0);
        settle();
        list->view()->viewport()->repaint();
      },
      [] {});
  int renames = 0;
  uibench::report(
      "refresh with rebuild, contacts renamed",
      [&] {
        form.refresh(true, 0);  // the 1000-entry "Contact Name " list is filled again
        settle();
      },
      [&] { pw::renameRecord(doc, ListId::Contacts, 0, "Renamed " + std::to_string(++renames)); });
  uibench::report(
      "search matching all 1000 rows",
      [&] {
        form.search(QStringLiteral("ch"));
        settle();
      },
      selectNone);
  uibench::report(
      "move 1000 selected (clamped to none)",
      [&] {
        list->moveSelected(1);
        settle();
      },
      [&] {
        list->selectRows(all);
        settle();
      });
  uibench::report(
      "move 500 selected up by ten",
      [&] {
        list->moveSelected(10);
        settle();
      },
      [&] {
        doc.workingImage = loaded;
        form.refresh(true, 0);
        list->selectRows(last500);
        settle();
      });
  QAction* sortByName = nullptr;
  for (QAction* a : list->contextMenu()->actions())
    if (a->text() == QStringLiteral("Sort by Name")) sortByName = a;
  uibench::report(
      "sort 1000 by name from the menu (+ repaint)",
      [&] {
        sortByName->trigger();
        settle();
        list->view()->viewport()->repaint();
      },
      [&] {
        doc.workingImage = loaded;
        form.refresh(true, 0);
        settle();
      });

  const auto withChannels = [&](int used) {
    doc.workingImage = loaded;
    for (int i = used; i < 1000; ++i) pw::initChannel(doc, i, {});
    return doc.workingImage;
  };
  const std::vector<std::uint8_t> plug999 = withChannels(999), plug500 = withChannels(500);
  const std::vector<int> first500(all.begin(), all.begin() + 500);
  // The image as given, taken into the undo history, shown, with `rows` selected.
  const auto start = [&](const std::vector<std::uint8_t>& image, const std::vector<int>& rows) {
    doc.workingImage = image;
    doc.settleEdits("reset");
    form.refresh(true, 0);
    list->selectRows(rows);
    settle();
  };
  uibench::report(
      "copy 500 of 999 (Ctrl+C)", [&] { list->copySelected(); }, [&] { start(plug999, first500); });
  uibench::report(
      "paste 500 at row 1 of 500 (+ repaint)",
      [&] {
        list->paste();
        settle();
        doc.settleEdits("paste");
        list->view()->viewport()->repaint();
      },
      [&] { start(plug500, {0}); });
  std::printf("channels after a paste: %d\n", pw::usedCount(doc, ListId::Channels));
  uibench::report(
      "insert at row 1 of 999 (+ repaint)",
      [&] {
        list->insertRecord();
        settle();
        doc.settleEdits("insert");
        list->view()->viewport()->repaint();
      },
      [&] { start(plug999, {1}); });
  std::printf("caption: \"%s\"\n", list->captionText().toLatin1().constData());
}

const uibench::Registration registration("Channels tab, 1000 channels", &runChannelTimings);

}  // namespace
