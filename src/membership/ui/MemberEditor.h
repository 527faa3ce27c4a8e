#pragma once
// The two-list member editor of the zones, rx group lists and scan lists tabs: the list
// of records on the left, and for the one selected record the available records beside
// its members, with add to / remove from members and reordering of the members. All
// three grids are shared list editors; this class wires them to the member operations
// of one member list and keeps the member side in step with the record selection.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "codeplug/CodePlugDocument.h"
#include "codeplug/RecordList.h"
#include "widgets/ListEditorConfig.h"

class ListEditor;
class QGridLayout;
class QLabel;
class QLayout;
class QPushButton;
class QWidget;

struct MemberEditorConfig {
  pw::ListId owner{};  // the list whose records hold the members
  // Records list: "<title> .. used N of 250. "; noImageCaption replaces "<title> .. up to 250. ".
  QString title{};
  QString noImageCaption{};
  // Member side: the caption over the available list, the members' caption words
  // ("<membersTitle> .. used N of <slots><membersEnd>"), and the two captions that
  // differ between the member lists: the number column's and the detail column's.
  QString availableCaption{};
  QString membersTitle{};
  QString membersEnd = QStringLiteral(" ");
  // With several records selected the members' caption reads "... up to <slots><membersEnd>";
  // otherwise it is left as it was.
  bool severalShowCapacity = true;
  QString numberCaption{};
  QString detailCaption{};
  // Without a code plug the records list and its caption are disabled as well.
  bool recordsNeedImage = false;
  // An add tried on a full member list turns add-to-members off and remove-from-members
  // on, whether or not a member is selected.
  bool fullAddEnablesRemove = false;
  // Runs after each fill of the member side and after each member move.
  std::function<void()> memberSideChanged{};
};

class MemberEditor : public QObject {
  Q_OBJECT
 public:
  // Creates the three grids, the captions and the buttons as children of `host`.
  MemberEditor(pw::CodePlugDocument& doc, MemberEditorConfig config, QWidget* host);

  ListEditor* records() const { return records_; }
  ListEditor* available() const { return available_; }
  ListEditor* members() const { return members_; }
  QLabel* availableLabel() const { return availableLabel_; }
  QLabel* membersLabel() const { return membersLabel_; }
  QPushButton* addMemberButton() const { return addMember_; }
  QPushButton* removeMemberButton() const { return removeMember_; }

  // The grids, captions and buttons in their places; the tab may put its own controls
  // under the available list and under the members list.
  QGridLayout* makeLayout(QLayout* underAvailable = nullptr, QLayout* underMembers = nullptr) const;
  // The whole tab: the bold heading ("TitleLabel") above that layout, set on `host`.
  void layOutTab(QWidget* host, const QString& heading, QLayout* underAvailable = nullptr,
                 QLayout* underMembers = nullptr) const;

  // With rebuild the records are re-read from the image (the first one selected unless
  // topRow > 0 scrolls to a row); the member side is refilled in every case.
  void refresh(bool rebuild, int topRow);
  std::vector<int> selectedRecords() const;
  // The one selected record; -1 when none or several are selected.
  int currentRecord() const;
  // True while the lists are being filled or moved: control changes are not the user's.
  bool busy() const;

  void addSelectedMembers();
  void removeSelectedMembers();

 private:
  ListConfig recordsConfig();
  ListConfig memberSideConfig(const QString& viewName);
  void fillMemberSide();
  void postFill();
  void updateMemberCommands();
  QString membersCaption(const QString& middle) const;
  int memberNumber(int row) const;

  pw::CodePlugDocument& doc_;
  MemberEditorConfig config_;
  int slots_ = 0;
  int record_ = -1;                    // the record whose member side is shown
  std::vector<int> availableNumbers_;  // the available rows, taken at each fill
  bool filling_ = false;
  bool fullAddTried_ = false;  // an add was tried on the full member list shown
  bool fillPosted_ = false;
  ListEditor* records_ = nullptr;
  ListEditor* available_ = nullptr;
  ListEditor* members_ = nullptr;
  QLabel* availableLabel_ = nullptr;
  QLabel* membersLabel_ = nullptr;
  QPushButton* addMember_ = nullptr;
  QPushButton* removeMember_ = nullptr;
};
