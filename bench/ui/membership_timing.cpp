// Times the member editor with 1000 channels and 1000 contacts in use and 250 zones, group
// lists and scan lists: selecting another record refills both member-side lists (and, on
// the Scan Lists tab, its five drop-downs); adding and removing 16 members by button.

#include <QCoreApplication>
#include <QPushButton>
#include <QTableView>
#include <cstdio>
#include <memory>

#include "UiBench.h"
#include "codeplug/RecordList.h"
#include "membership/ui/GroupsForm.h"
#include "membership/MemberList.h"
#include "membership/ui/ScanListsForm.h"
#include "membership/ui/ZonesForm.h"
#include "support/CodePlugBuilder.h"
#include "widgets/ListEditor.h"
#include "membership/ui/MemberEditor.h"

namespace {

void settle() { QCoreApplication::processEvents(); }

template <class Form>
void timeTab(pw::CodePlugDocument& doc, pw::ListId owner, const char* selectName, const char* addName) {
  Form form(doc);
  form.resize(1138, 585);
  form.show();
  form.refresh(true, 0);
  settle();
  MemberEditor* editor = form.memberEditor();
  int row = 0;
  uibench::report(
      selectName,
      [&] {
        editor->records()->selectRows({row}, row);
        settle();  // the deferred refresh refills the member side
        editor->available()->view()->viewport()->repaint();
        editor->members()->view()->viewport()->repaint();
      },
      [&] { row = (row + 7) % 250; });
  auto* add = form.template findChild<QPushButton*>(QStringLiteral("AddMemberBitBtn"));
  uibench::report(
      addName,
      [&] {
        add->click();
        settle();
      },
      [&] {
        editor->records()->selectRows({row}, row);
        settle();
        std::vector<int> members;
        for (const pw::MemberRow& m : pw::memberRows(doc, owner, row)) members.push_back(m.number);
        pw::removeMembers(doc, owner, row, members);
        form.refresh(false, 0);
        editor->available()->selectRows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15});
        settle();
      });
}

void runMembershipTimings() {
  using pw::ListId;
  pwtest::CodePlugBuilder builder;
  builder.fill(ListId::Channels, 1000, "Ch ").fill(ListId::Contacts, 1000, "Contact ");
  for (ListId list : {ListId::Zones, ListId::RxGroupLists, ListId::ScanLists}) builder.fill(list, 250, "L");
  pw::CodePlugDocument doc;
  if (builder.loadInto(doc) != 0) {
    std::printf("membership: the code plug did not load\n");
    return;
  }
  timeTab<TZonesForm>(doc, ListId::Zones, "zones: select a zone, refill 1000 available",
                      "zones: add 16 members");
  timeTab<TGroupsForm>(doc, ListId::RxGroupLists, "groups: select a list, refill 1000 available",
                       "groups: add 16 members");
  timeTab<TScanListsForm>(doc, ListId::ScanLists, "scan lists: select a list, refill lists and drop-downs",
                          "scan lists: add 16 members");
}

const uibench::Registration registration("Member editor, 1000 channels and contacts", &runMembershipTimings);

}  // namespace
